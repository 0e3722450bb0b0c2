// The SQL highlighter's keyword lists: one comma-separated constant per dialect and
// token kind, and the order in which each dialect loads them.
#pragma once

#include <span>

// One list and the token kind its words get.
struct TKedKeywordList {
  int Kind;
  const char* Words;
};

// The lists of a dialect (0 standard .. 7 MS SQL 2000, as TSQLDialect numbers them),
// in the order they are added to the keyword table; empty for an unknown dialect.
std::span<const TKedKeywordList> KedSQLKeywordLists(int dialect);

extern const char* const KedStandardReservedWords;
extern const char* const KedInterbase6DataTypes;
extern const char* const KedInterbase6Functions;
extern const char* const KedInterbase6ReservedWords;
extern const char* const KedMSSQL7ReservedWords;
extern const char* const KedMSSQL7DataTypes;
extern const char* const KedMSSQL7Functions;
extern const char* const KedMySQLReservedWords;
extern const char* const KedMySQLDataTypes;
extern const char* const KedMySQLFunctions;
extern const char* const KedOracleReservedWords;
extern const char* const KedOracleDataTypes;
extern const char* const KedOracleExceptions;
extern const char* const KedOracleFunctions;
extern const char* const KedOracleCommentWords;
extern const char* const KedOracleDefaultPackages;
extern const char* const KedOraclePLSQLReservedWords;
extern const char* const KedOracleSQLPlusCommands;
extern const char* const KedSybaseReservedWords;
extern const char* const KedIngresDataTypes;
extern const char* const KedIngresReservedWords;
extern const char* const KedIngresFunctions;
extern const char* const KedMSSQL2KReservedWords;
extern const char* const KedMSSQL2KDataTypes;
extern const char* const KedMSSQL2KFunctions;
