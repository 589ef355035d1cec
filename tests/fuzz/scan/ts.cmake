clip_fuzz_target(fuzz_ts fuzz_ts.cpp ${CLIP_FIXTURES_DIR}/probe/ts clip_scan)
