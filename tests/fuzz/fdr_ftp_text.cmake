calvento_fuzz_target(fdr_ftp_text LIBS fdr)
