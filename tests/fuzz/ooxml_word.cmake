tavimo_fuzzer(fuzz_word_document SOURCES WordDocumentFuzz.cpp LIBS ooxml_word CORPUS docx)
