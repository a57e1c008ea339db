tavimo_fuzzer(fuzz_wildcard SOURCES WildcardFuzz.cpp LIBS ooxml_wordfind CORPUS wildcard)
