calvento_fuzz_target(tamsel_svc_lines LIBS svc)
