quillon_add_benchmark(io_bench SOURCES XmlDocumentBench.cpp LIBS quillon_io)
