// A test's surroundings: a temporary host folder and a fresh hospital
// database file in it, opened the way the host opens it.
#pragma once

#include <QString>
#include <QTemporaryDir>

struct sqlite3;

class TestEnv {
public:
    // fixture: seed the small deterministic fixture hospital
    explicit TestEnv(bool fixture = true);
    ~TestEnv();

    QString hostDir() const;          // with trailing '/'
    QString dbPath() const;
    sqlite3 *db() const { return m_db; }
    // Runs plain SQLite SQL on the test's connection (test set-up).
    void exec(const QString &sql);
    // First column of the first row, as text.
    QString scalar(const QString &sql);
    // Writes a file under the host folder.
    void writeFile(const QString &name, const QByteArray &bytes);
    QByteArray readFile(const QString &name) const;

private:
    QTemporaryDir m_dir;
    sqlite3 *m_db = nullptr;
};
