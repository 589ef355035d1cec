clip_fuzz_target(fuzz_flv fuzz_flv.cpp ${CLIP_FIXTURES_DIR}/probe/flv clip_scan)
