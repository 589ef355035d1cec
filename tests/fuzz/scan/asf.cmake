clip_fuzz_target(fuzz_asf fuzz_asf.cpp ${CLIP_FIXTURES_DIR}/probe/asf clip_scan)
