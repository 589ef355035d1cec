clip_fuzz_target(fuzz_ps fuzz_ps.cpp ${CLIP_FIXTURES_DIR}/probe/ps clip_scan)
