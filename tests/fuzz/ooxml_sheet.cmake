# Fuzz targets of our Excel: the workbook loaders (with a write-and-reload check) and number formats.
tavimo_fuzzer(fuzz_xlsx SOURCES XlsxFuzz.cpp LIBS ooxml_sheet CORPUS xlsx RUNS 3000)
tavimo_fuzzer(fuzz_number_format SOURCES NumberFormatFuzz.cpp LIBS ooxml_sheet CORPUS number_format)
tavimo_fuzzer(fuzz_sheet_xml SOURCES SheetXmlFuzz.cpp LIBS ooxml_sheet CORPUS sheet_xml)
tavimo_fuzzer(fuzz_xls SOURCES XlsFuzz.cpp LIBS ooxml_sheet CORPUS xls RUNS 3000)
tavimo_fuzzer(fuzz_delimited_text SOURCES DelimitedTextFuzz.cpp LIBS ooxml_sheet CORPUS delimited_text)
tavimo_fuzzer(fuzz_ods SOURCES OdsFuzz.cpp LIBS ooxml_sheet CORPUS ods RUNS 3000)
