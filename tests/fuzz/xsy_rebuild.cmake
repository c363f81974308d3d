calvento_fuzz_target(xsy_rebuild LIBS dtmrepo)
