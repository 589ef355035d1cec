clip_fuzz_target(fuzz_rm fuzz_rm.cpp ${CLIP_FIXTURES_DIR}/probe/rm clip_scan)
