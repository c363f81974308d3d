calvento_fuzz_target(ui_script LIBS platform)
