tavimo_fuzzer(fuzz_zip SOURCES ZipFuzz.cpp LIBS ooxml_package CORPUS zip)
tavimo_fuzzer(fuzz_xml SOURCES XmlFuzz.cpp LIBS ooxml_package CORPUS xml)
tavimo_fuzzer(fuzz_deflate SOURCES DeflateFuzz.cpp LIBS ooxml_package CORPUS deflate RUNS 1000)
