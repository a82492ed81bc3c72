// Oracle SQL text → SQLite SQL text.
//
// The module's statements are Oracle SQL. This translator tokenizes them
// (string literals, quoted identifiers, comments and hints respected), builds
// a tree of parenthesised groups and rewrites the Oracle idioms into SQLite
// SQL that calls the Oracle-compatible functions the hospital database
// registers on the connection (ora_sysdate, ora_nextval, ora_concat, ...).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace oradb {

struct Translation {
    enum Kind {
        Statement,   // any SQL statement
        Commit,      // "commit" / "commit work"
        Rollback,    // "rollback" / "Rollback" / "RollBack" ...
        Procedure    // "begin proc(args); end;": sql is "select proc(json)"
    };
    Kind kind = Statement;
    QByteArray sql;        // SQLite text (UTF-8); binds are ?1, ?2, ...
    QStringList binds;     // upper-case bind names; binds[i] is ?(i+1)
    bool writes = false;   // changes data: open a transaction first
    QString procedure;     // Procedure: the procedure name (upper case)
};

// Translates one statement. Throws DbError when the text cannot be
// translated (the message says what and quotes the statement).
Translation translateOracle(const QString &oracleSql);

}  // namespace oradb
