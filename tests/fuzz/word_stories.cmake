tavimo_fuzzer(fuzz_word_stories SOURCES StoriesFuzz.cpp LIBS ooxml_word CORPUS docx-stories)
