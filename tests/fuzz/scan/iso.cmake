clip_fuzz_target(fuzz_iso fuzz_iso.cpp ${CLIP_FIXTURES_DIR}/probe/iso clip_scan)
