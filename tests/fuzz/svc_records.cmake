calvento_fuzz_target(svc_records LIBS svc)
