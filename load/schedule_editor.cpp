#include "schedule_editor.h"

#include "convert.h"
#include "form.h"
#include "schedule_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QUndoStack>
#include <algorithm>

using namespace ui;

namespace load {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::string seriesText(const std::vector<double>& series)
{
    std::string text;
    for (const double v : series)
        text += (text.empty() ? "" : ", ") + numeric::formatNumber(v);
    return text;
}

} // namespace

QString boardCaption(const Board& b) { return qs(b.name.empty() ? std::string("（未命名）") : b.name); }

const BoardField boardFields[13] = {
    {"mc", &Board::name},          {"kp", &Board::kp},
    {"kq", &Board::kq},            {"mb", &Board::cosTarget},
    {"qc", &Board::installedQc},   {"fhl", &Board::betaMax},
    {"ts", &Board::transformers},  {"dk", &Board::reactance},
    {"yj", &Board::dropLimit},     {"xtrl", &Board::networkMva},
    {"zkdy", &Board::uk},          {"fzsh", &Board::loadLoss},
    {"dlsj", &Board::withstandTime},
};
const SeriesField seriesFields[2] = {{"xl", &Board::series, "容量"}, {"dlq", &Board::breakers, "额定电流"}};

std::size_t Editor::current()
{
    if (boards().empty())
        boards().push_back(Board::named("AL1"));
    *hooks.current = std::min(*hooks.current, boards().size() - 1);
    return *hooks.current;
}

void Editor::changed(std::size_t b, int from, int to)
{
    form->clearMessage(); // a confirmation goes at the next action
    if (b != current() || to < 0 || board().rows.size() + 1 != static_cast<std::size_t>(model->rowCount())) {
        *hooks.current = std::min(b, boards().size() - 1);
        showBoard();
    } else {
        recompute();
        // The worked-out columns of other rows follow too (a loop found, the busbar moved).
        model->refreshed(std::min(from, 0), model->rowCount() - 1);
    }
    refreshNote();
    hooks.changed();
}

void Editor::recompute()
{
    result = evaluate(boards(), current());
    showTotals();
}

void Editor::put(const char* field, const std::string& text)
{
    auto* e = qobject_cast<QLineEdit*>(form->control(field));
    if (e->text() != qs(text)) {
        e->setText(qs(text));
        e->setCursorPosition(0); // a total too long for its field is read from its first digit
    }
}

void Editor::showTotals()
{
    const auto opt = [](const std::optional<double>& v, int d) { return v ? shown(*v, d) : std::string(); };
    const Totals* t = result.totals ? &*result.totals : nullptr;
    put("zpe", t ? shown(t->installed, 2) : "");
    put("zp", t ? shown(t->sumP, 2) : "");
    put("zq", t ? shown(t->sumQ, 2) : "");
    put("pjs", t ? shown(t->load.p, 2) : "");
    put("qjs", t ? shown(t->load.q, 2) : "");
    put("sjs", t ? shown(t->load.s, 2) : "");
    put("cos1", t ? opt(t->load.cos, 3) : "");
    put("ijs", t ? shown(t->load.i, 1) : "");
    const Compensation* c = result.compensation ? &*result.compensation : nullptr;
    put("qcx", c ? shown(c->required, 2) : "");
    put("qb", c ? shown(c->load.q, 2) : "");
    put("sb", c ? shown(c->load.s, 2) : "");
    put("cos2", c ? opt(c->load.cos, 3) : "");
    put("ib", c ? shown(c->load.i, 1) : "");
    const TransformerChoice* tr = result.transformer ? &*result.transformer : nullptr;
    put("sn", tr ? opt(tr->rating, 0) : "");
    put("beta", tr ? opt(tr->beta, 2) : "");
    put("mxdl", result.origin ? shown(result.origin->ik3, 2) : "");

    // What the totals and the circuits leave out, and why, row by row.
    QStringList lines;
    for (const Problem& p : result.problems)
        lines << qs(p.reason);
    // The rows left out, each with its problems, then the list of them.
    const auto leftOut = [&](const std::vector<std::size_t>& rows, std::vector<Problem> RowResult::*problems,
                             const QString& list) {
        for (const std::size_t row : rows)
            for (const Problem& p : result.rows[row].*problems)
                lines << qs(rowNote(row, p));
        QStringList numbers;
        for (const std::size_t row : rows)
            numbers << QString::number(row + 1);
        if (!numbers.isEmpty())
            lines << list.arg(numbers.join("、"));
    };
    leftOut(result.excluded, &RowResult::problems, QStringLiteral("合计未计入第 %1 行。"));
    leftOut(result.circuitsLeftOut, &RowResult::circuitProblems, QStringLiteral("回路未计算第 %1 行。"));
    for (std::size_t row = 0; row < result.rows.size(); ++row)
        if (!result.rows[row].circuitNote.empty())
            lines << qs(rowNote(row, {Cell::Rows, result.rows[row].circuitNote}));
    if (!result.originNote.empty())
        lines << QStringLiteral("母线：") + qs(result.originNote) + QStringLiteral("。");
    if (tr && !tr->rating && !tr->note.empty())
        lines << qs(tr->note);
    if (c && c->leading)
        lines << QStringLiteral("实装补偿容量大于计算无功功率，补偿后呈容性。");
    auto* notes = qobject_cast<QPlainTextEdit*>(form->control("sm"));
    const QString text = lines.join("\n");
    if (notes->toPlainText() != text)
        notes->setPlainText(text);
}

void Editor::showBoard()
{
    showing = true;
    Board& b = board();
    for (const auto& [field, member] : boardFields) {
        auto* e = qobject_cast<QLineEdit*>(form->control(field));
        if (e->text() != qs(b.*member))
            e->setText(qs(b.*member));
    }
    for (const SeriesField& s : seriesFields) {
        auto* e = qobject_cast<QLineEdit*>(form->control(s.field));
        // What is being typed stays as typed; the series it reads as is the board's.
        if (!e->hasFocus()) {
            e->setText(qs(seriesText(b.*s.series)));
            e->setCursorPosition(0);
        }
    }
    auto* list = qobject_cast<QComboBox*>(form->control("pdx"));
    {
        QSignalBlocker quiet(list);
        list->clear();
        for (const Board& each : boards())
            list->addItem(boardCaption(each));
        list->setCurrentIndex(static_cast<int>(current()));
    }
    recompute();
    model->show(&board(), &result);
    showing = false;
}

void Editor::refreshNote()
{
    if (!noted)
        return;
    bool still = false;
    if (noted->series) {
        still = noted->board == current() && !readSeries(noted->series->field).second.isEmpty();
    } else if (noted->board == current() && noted->row >= 0 &&
               static_cast<std::size_t>(noted->row) < result.rows.size()) {
        const RowResult& r = result.rows[static_cast<std::size_t>(noted->row)];
        for (const auto* list : {&r.problems, &r.circuitProblems})
            for (const Problem& p : *list)
                still = still || p.reason == noted->reason;
    }
    if (!still) {
        noted.reset();
        form->clearFailure();
    }
}

void Editor::tellAbout(int row)
{
    const std::size_t r = static_cast<std::size_t>(row);
    const Problem* problem = nullptr;
    if (r < result.rows.size()) {
        if (!result.rows[r].problems.empty())
            problem = &result.rows[r].problems.front();
        else if (!result.rows[r].circuitProblems.empty())
            problem = &result.rows[r].circuitProblems.front();
    }
    if (problem) {
        form->showFailure("bg", qs(rowNote(r, *problem)));
        noted = Noted{current(), row, problem->reason, nullptr};
    } else if (noted && !noted->series) {
        noted.reset();
        form->clearFailure();
    }
}

std::pair<std::vector<double>, QStringList> Editor::readSeries(const char* field) const
{
    std::vector<double> values;
    QStringList wrong;
    for (const QString& part :
         form->text(field).split(QRegularExpression(QStringLiteral("[,，、\\s]+")), Qt::SkipEmptyParts)) {
        const numeric::Num n = readCell(part.toStdString());
        if (n && n.value() > 0)
            values.push_back(n.value());
        else
            wrong << part;
    }
    return {values, wrong};
}

void Editor::switchTo(std::size_t b)
{
    form->clearMessage();
    *hooks.current = b;
    showBoard();
    refreshNote();
}

} // namespace load
