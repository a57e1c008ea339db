# Fuzz targets of the table, settings, language file and naming mask readers.
tavimo_fuzzer(fuzz_text_table SOURCES TextTableFuzz.cpp LIBS tables CORPUS text_table)
tavimo_fuzzer(fuzz_name_mask SOURCES NameMaskFuzz.cpp LIBS engine CORPUS name_mask)
tavimo_fuzzer(fuzz_settings_file SOURCES SettingsFileFuzz.cpp LIBS settings CORPUS settings_file)
tavimo_fuzzer(fuzz_language_file SOURCES LanguageFileFuzz.cpp LIBS settings CORPUS language_file)
