# Fuzz targets of the table, settings, language file and naming mask readers.
tavimo_fuzzer(fuzz_text_table SOURCES TextTableFuzz.cpp LIBS tables CORPUS text_table)
