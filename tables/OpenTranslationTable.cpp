#include "tables/OpenTranslationTable.h"

#include "platform/Files.h"
#include "tables/TExcelObject.h"
#include "tables/TTextTable.h"

bool IsTextTableName(const AnsiString& fileName) {
  return platform::toLower(platform::ansiToWide(platform::extensionOf(fileName))) == u".txt";
}

std::unique_ptr<TAbstractTable> CreateTableReader(const AnsiString& fileName) {
  std::unique_ptr<TAbstractTable> reader;
  if (IsTextTableName(fileName)) reader = std::make_unique<TTextTable>();
  else reader = std::make_unique<TExcelObject>();
  if (reader && !reader->Ready) reader.reset();
  return reader;
}
