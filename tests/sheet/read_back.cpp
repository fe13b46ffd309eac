#include "read_back.h"

#include <gtest/gtest.h>
#include <map>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

void expectKeptTogether(const sheet::Placement& placed, const std::string& context)
{
    using sheet::PlacedLine;
    const std::vector<PlacedLine>& lines = placed.lines;
    ASSERT_FALSE(lines.empty()) << context;
    EXPECT_EQ(lines.back().page, placed.pages) << context;
    std::map<int, std::map<int, int>> perItem; // item → page → lines
    std::map<int, int> perPage;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const PlacedLine& l = lines[i];
        if (i > 0) {
            EXPECT_LE(lines[i - 1].page, l.page) << context;
        }
        ++perItem[l.item][l.page];
        ++perPage[l.page];
        const bool lastOfItem = i + 1 == lines.size() || lines[i + 1].item != l.item;
        if (l.kind == PlacedLine::Kind::Heading && lastOfItem && i + 1 < lines.size()) {
            EXPECT_EQ(lines[i + 1].page, l.page) << context << ": heading last on its page: " << l.text.toStdString();
        }
    }
    for (const auto& [page, n] : perPage) {
        EXPECT_GE(n, 2) << context << ": a single line on page " << page;
    }
    for (const auto& [item, pages] : perItem) {
        int total = 0;
        for (const auto& [page, n] : pages)
            total += n;
        const PlacedLine* first = nullptr;
        for (const PlacedLine& l : lines)
            if (l.item == item && (first = &l))
                break;
        if (first->kind == PlacedLine::Kind::Heading || total < 2)
            continue;
        for (const auto& [page, n] : pages) {
            EXPECT_GE(n, 2) << context << ": a line alone on page " << page << ": " << first->text.toStdString();
        }
    }
}

namespace {

const char* const script = R"(
import json, sys, zipfile
import xml.etree.ElementTree as ET
out = {"error": "", "entries": [], "cells": []}
try:
    with zipfile.ZipFile(sys.argv[1]) as z:
        bad = z.testzip()
        if bad is not None:
            out["error"] = "bad checksum: " + bad
        for i in z.infolist():
            out["entries"].append({"name": i.filename, "method": i.compress_type, "size": i.file_size})
        for name in z.namelist():
            if name.endswith(".xml"):
                root = ET.fromstring(z.read(name))
                if name == "content.xml":
                    cell = "{urn:oasis:names:tc:opendocument:xmlns:table:1.0}table-cell"
                    out["cells"] = ["".join(c.itertext()) for c in root.iter(cell)]
except Exception as e:
    out["error"] = type(e).__name__ + ": " + str(e)
sys.stdout.write(json.dumps(out))
)";

} // namespace

std::optional<ZipRead> readWithPython(const QString& path)
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(python, {"-c", script, path});
    ZipRead read;
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        read.error = "python3 failed: " + QString::fromUtf8(p.readAllStandardError());
        return read;
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    read.error = o.value("error").toString();
    for (const QJsonValue e : o.value("entries").toArray())
        read.entries.push_back({e["name"].toString(), e["method"].toInt(), e["size"].toInteger()});
    for (const QJsonValue c : o.value("cells").toArray())
        read.cells << c.toString();
    return read;
}

bool expectOdtReadsAgain(const QString& path)
{
    const std::optional<ZipRead> read = readWithPython(path);
    if (!read)
        return false;
    EXPECT_EQ(read->error, "") << path.toStdString();
    QStringList names;
    for (const ZipEntry& e : read->entries)
        names << e.name;
    EXPECT_EQ(names.value(0), "mimetype");
    EXPECT_EQ(read->entries.empty() ? -1 : read->entries[0].method, 0);
    for (const char* part : {"content.xml", "styles.xml", "meta.xml", "META-INF/manifest.xml"}) {
        EXPECT_TRUE(names.contains(part)) << part;
    }
    return true;
}
