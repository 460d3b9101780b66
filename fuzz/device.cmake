# config.ini parsing, and the handling of whatever the keyboard sends back: replies of any length
# and content in the exchange, event reports, and requests as the simulated keyboard reads them.
quillon_add_fuzzer(fuzz_config_ini SOURCES ConfigIniFuzzer.cpp LIBS quillon_model)
quillon_add_fuzzer(fuzz_hid_reply SOURCES HidReplyFuzzer.cpp LIBS quillon_device_sim)
