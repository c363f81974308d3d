calvento_fuzz_target(fdr_prm_file LIBS fdr)
