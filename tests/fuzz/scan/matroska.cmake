clip_fuzz_target(fuzz_matroska fuzz_matroska.cpp ${CLIP_FIXTURES_DIR}/probe/matroska clip_scan)
