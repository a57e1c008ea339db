tavimo_fuzzer(fuzz_word_formatting SOURCES FormattingFuzz.cpp LIBS ooxml_word CORPUS docx-formatting)
