#include "zip.h"

#include <QIODevice>
#include <QtEndian>
#include <array>

namespace sheet {

namespace {

const std::array<quint32, 256>& crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void put16(QByteArray& to, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    to.append(b, 2);
}

void put32(QByteArray& to, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    to.append(b, 4);
}

constexpr quint16 versionNeeded = 10; // stored entries need nothing newer
constexpr quint16 utf8Names = 1 << 11;
constexpr quint16 stored = 0;

} // namespace

quint32 crc32(const QByteArray& data)
{
    const auto& table = crcTable();
    quint32 c = 0xFFFFFFFFu;
    for (const char byte : data)
        c = table[(c ^ static_cast<quint8>(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

ZipWriter::ZipWriter(QIODevice* device, const QDateTime& stamp) : device_(device)
{
    // MS-DOS time: two-second steps from 1980 on.
    const QDateTime t = stamp.isValid() && stamp.date().year() >= 1980 && stamp.date().year() <= 2107
                            ? stamp
                            : QDateTime(QDate(1980, 1, 1), QTime(0, 0));
    time_ = static_cast<quint16>((t.time().hour() << 11) | (t.time().minute() << 5) | (t.time().second() / 2));
    date_ = static_cast<quint16>(((t.date().year() - 1980) << 9) | (t.date().month() << 5) | t.date().day());
}

void ZipWriter::write(const QByteArray& bytes)
{
    if (failed_)
        return;
    if (device_->write(bytes) != bytes.size())
        failed_ = true;
    written_ += static_cast<quint32>(bytes.size());
}

void ZipWriter::add(const QString& name, const QByteArray& data)
{
    Entry e{name.toUtf8(), crc32(data), static_cast<quint32>(data.size()), written_};
    QByteArray head;
    put32(head, 0x04034b50);
    put16(head, versionNeeded);
    put16(head, utf8Names);
    put16(head, stored);
    put16(head, time_);
    put16(head, date_);
    put32(head, e.crc);
    put32(head, e.size); // compressed size: the same, stored
    put32(head, e.size);
    put16(head, static_cast<quint16>(e.name.size()));
    put16(head, 0); // no extra field, as the mimetype entry must have none
    head += e.name;
    write(head);
    write(data);
    entries_.push_back(e);
}

bool ZipWriter::finish()
{
    const quint32 start = written_;
    QByteArray directory;
    for (const Entry& e : entries_) {
        put32(directory, 0x02014b50);
        put16(directory, versionNeeded); // made by: MS-DOS attributes, version 1.0
        put16(directory, versionNeeded);
        put16(directory, utf8Names);
        put16(directory, stored);
        put16(directory, time_);
        put16(directory, date_);
        put32(directory, e.crc);
        put32(directory, e.size);
        put32(directory, e.size);
        put16(directory, static_cast<quint16>(e.name.size()));
        put16(directory, 0); // extra field
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, e.offset);
        directory += e.name;
    }
    const auto size = static_cast<quint32>(directory.size());
    put32(directory, 0x06054b50);
    put16(directory, 0); // this disk
    put16(directory, 0); // the disk the directory starts on
    put16(directory, static_cast<quint16>(entries_.size()));
    put16(directory, static_cast<quint16>(entries_.size()));
    put32(directory, size);
    put32(directory, start);
    put16(directory, 0); // no comment
    write(directory);
    return !failed_;
}

} // namespace sheet
