# The website rule turns whatever a user typed into an address to open, or refuses it.
quillon_add_fuzzer(fuzz_website_uri SOURCES WebsiteUriFuzzer.cpp LIBS quillon_model)
