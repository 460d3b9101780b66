# Music lighting: one analysis, one whole frame, and the latency from a tone to the key colours
# (this one starts a private PulseAudio server of its own).
pkg_check_modules(MUSIC_BENCH_PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
quillon_add_benchmark(music_bench
    SOURCES MusicBench.cpp ${PROJECT_SOURCE_DIR}/tests/music/PulseTestServer.cpp
    LIBS quillon_music PkgConfig::MUSIC_BENCH_PULSE_SIMPLE)
