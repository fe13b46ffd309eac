#pragma once
// The zip container of an ODT sheet. Entries are stored, not compressed: a
// sheet is a few tens of kilobytes, and the first entry of an ODT, its
// "mimetype", must be stored anyway so that a program can read the type at a
// fixed place in the file.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

class QIODevice;

namespace sheet {

// CRC-32 as zip (and PNG, and gzip) checks an entry: polynomial 0xEDB88320.
quint32 crc32(const QByteArray& data);

class ZipWriter {
public:
    // Every entry is stamped with `stamp` (local time, as zip keeps it).
    ZipWriter(QIODevice* device, const QDateTime& stamp);
    // Names are UTF-8, with "/" between folders.
    void add(const QString& name, const QByteArray& data);
    // Writes the central directory; false when the device failed to take
    // everything written to it.
    bool finish();

private:
    struct Entry {
        QByteArray name;
        quint32 crc = 0;
        quint32 size = 0;
        quint32 offset = 0;
    };
    QIODevice* device_;
    quint16 time_ = 0, date_ = 0;
    quint32 written_ = 0;
    bool failed_ = false;
    std::vector<Entry> entries_;

    void write(const QByteArray& bytes);
};

} // namespace sheet
