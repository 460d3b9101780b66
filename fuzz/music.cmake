# The WAV reader of the music tools, and the analysis behind it.
quillon_add_fuzzer(fuzz_wav_reader SOURCES WavReaderFuzzer.cpp LIBS quillon_music)
