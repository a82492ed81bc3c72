// Oracle SQL text → SQLite SQL text.
//
// The module's statements are Oracle SQL. This translator tokenizes them
// (string literals, quoted identifiers, comments and hints respected), builds
// a tree of parenthesised groups and rewrites the Oracle idioms into SQLite
// SQL that calls the Oracle-compatible functions the hospital database
// registers on the connection (ora_sysdate, ora_nextval, ora_concat, ...).
//
// What it rewrites:
//   sysdate                      ora_sysdate() (the database clock, as text)
//   sysdate ± n, trunc(..) ± n   ora_date_add(date, (0 ± n)): days, fractions too
//   SEQ.nextval / SEQ.currval    ora_nextval('SEQ') / ora_currval('SEQ')
//   a || b || c                  ora_concat(a, b, c): NULL operands skipped
//   '' (empty literal)           NULL
//   a / b                        a * 1.0 / b (exact division)
//   :NAME, :1                    ?1, ?2 ... (a name may repeat; text binds)
//   1 = :X                       1 = cast(?1 as numeric) (Oracle converts the text)
//   ROWNUM <= n, < n, = 1        LIMIT (before grouping: a limited subquery)
//   ROWNUM as a column           row_number() over ()
//   t.col(+) = ...               LEFT JOIN t ON ... (conditions with (+) move there)
//   FROM dual                    no FROM (one row)
//   delete T where ...           delete from T where ...
//   (a,b) in ((1,2),(3,4))       (a,b) in (values (1,2),(3,4))
//   minus                        except
//   /*+ hints */, comments       dropped
//   select ... for update        the transaction is opened (write lock)
//   commit / rollback [work]     Commit / Rollback (any letter case, ';' and blanks)
//   begin proc(args); end;       select proc(json of the arguments), positional
//                                or "name => value"
// Everything else (nvl, decode, to_char, ...) is left to the functions.
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
