tavimo_fuzzer(fuzz_zip SOURCES ZipFuzz.cpp LIBS ooxml_package CORPUS zip)
tavimo_fuzzer(fuzz_xml SOURCES XmlFuzz.cpp LIBS ooxml_package CORPUS xml)
