#include "odt_reader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

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
