// The text editor's buffer, undo history, search and colouring against FLTK's Fl_Text_Buffer
// and Qt 5's QTextDocument (the peers) in the same run, on the same 10 MB script:
// - 100,000 random edits (inserting a short word or deleting up to four characters), each
//   recorded for undo: our history, Qt's undo stack; FLTK's buffer keeps only its last
//   change, so it edits without a history;
// - undoing all of them (ours and Qt's; FLTK cannot);
// - finding every occurrence of a word through the text;
// - colouring 100,000 lines (ours: the editor's token tables; Qt: a QSyntaxHighlighter with
//   regular expressions for the same kinds of token; FLTK has no highlighter of its own).
// Every operation runs once per repetition (it changes the text); times are wall-clock ms.
// Qt runs on its offscreen platform, so no display is needed:
//   build/bench/bench_text --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <FL/Fl_Text_Buffer.H>

#include "bench/bench_ratio_reporter.h"
#include "gui/text/gui_text_buffer.h"
#include "gui/text/gui_text_edit_history.h"
#include "gui/text/gui_text_syntax.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCursor>
#include <QTextDocument>

namespace {

constexpr size_t TEXT_BYTES = 10u << 20;
constexpr int EDITS = 100000;
constexpr int COLORED_LINES = 100000;
constexpr char WORD[] = "needle";

// --- The shared material -----------------------------------------------------------------------

// Script lines of about 40 bytes; every 97th holds the searched word.
std::string make_text(size_t bytes)
{
    static char const* const lines[] = {
        "    var angle = 11 * 3.14159 / 180;  // ring",
        "    if (item.polygons > 1000000 && this.preview) {",
        "        item.position = [radius * cos(angle), 0, 1];",
        "    return scene.load(\"assets/teapot.abc\");",
        "function build_item(scene, radius) {",
        "/* a block comment on one line */ x = 2;",
    };
    std::string text;
    text.reserve(bytes + 64);
    for (size_t i = 0; text.size() < bytes; ++i) {
        if (i % 97 == 0) text += "    var needle = find(haystack);";
        else text += lines[i % 6];
        text += '\n';
    }
    return text;
}

std::string const& get_text()
{
    static std::string const text = make_text(TEXT_BYTES);
    return text;
}

// One random edit: where (a fraction of the text, and of a line for ours) and what.
struct Edit {
    bool insert;
    double where;
    double column;
    int length;
};

std::vector<Edit> const& get_edits()
{
    static std::vector<Edit> const edits = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> fraction(0.0, 1.0);
        std::vector<Edit> list;
        for (int i = 0; i < EDITS; ++i)
            list.push_back({random() % 2 == 0, fraction(random), fraction(random), 1 + static_cast<int>(random() % 4)});
        return list;
    }();
    return edits;
}

void run_ours(GuiTextBuffer& buffer, GuiTextEditHistory& history)
{
    for (Edit const& edit : get_edits()) {
        int const line = static_cast<int>(edit.where * buffer.get_line_count());
        int const column = static_cast<int>(edit.column * buffer.get_line_length(line));
        // Pastes and cuts: kinds that never merge, so each edit is one undo step.
        history.start_undo(edit.insert ? GuiTextEditHistory::TYPE_PASTE : GuiTextEditHistory::TYPE_CUT, line, column);
        if (edit.insert)
            history.insert_text(line, column, "word");
        else
            history.remove_text(line, column, edit.length);
        history.stop_undo(line, column);
    }
}

void run_fltk(Fl_Text_Buffer& buffer)
{
    for (Edit const& edit : get_edits()) {
        int const at = static_cast<int>(edit.where * buffer.length());
        if (edit.insert)
            buffer.insert(at, "word");
        else
            buffer.remove(at, std::min(buffer.length(), at + edit.length));
    }
}

void run_qt(QTextDocument& document)
{
    QTextCursor cursor(&document);
    for (Edit const& edit : get_edits()) {
        int const size = document.characterCount() - 1;
        int const at = static_cast<int>(edit.where * size);
        cursor.setPosition(at);
        if (edit.insert) {
            cursor.insertText(QStringLiteral("word"));
        } else {
            cursor.setPosition(std::min(size, at + edit.length), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
    }
}

QGuiApplication& qt_app()
{
    static int argc = 1;
    static char name[] = "bench_text";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

template <class Body>
void timed(benchmark::State& state, Body&& body)
{
    auto const start = std::chrono::steady_clock::now();
    body();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// --- Edits ---------------------------------------------------------------------------------------

void BM_Edits_Ours(benchmark::State& state)
{
    for (auto _ : state) {
        GuiTextBuffer buffer;
        buffer.set_text(get_text());
        GuiTextEditHistory history(buffer);
        timed(state, [&] { run_ours(buffer, history); });
    }
}

void BM_Edits_Fltk(benchmark::State& state)
{
    for (auto _ : state) {
        Fl_Text_Buffer buffer(static_cast<int>(TEXT_BYTES), 1024);
        buffer.text(get_text().c_str());
        timed(state, [&] { run_fltk(buffer); });
    }
}

void BM_Edits_Qt(benchmark::State& state)
{
    qt_app();
    for (auto _ : state) {
        QTextDocument document;
        document.setPlainText(QString::fromStdString(get_text()));
        timed(state, [&] { run_qt(document); });
    }
}

// --- Undo of all the edits -----------------------------------------------------------------------

void BM_Undo_Ours(benchmark::State& state)
{
    for (auto _ : state) {
        GuiTextBuffer buffer;
        buffer.set_text(get_text());
        GuiTextEditHistory history(buffer);
        run_ours(buffer, history);
        int line = 0, column = 0;
        timed(state, [&] {
            while (history.undo(line, column)) {
            }
        });
        if (buffer.get_text().std_string() != get_text()) state.SkipWithError("the undone text differs");
    }
}

void BM_Undo_Qt(benchmark::State& state)
{
    qt_app();
    for (auto _ : state) {
        QTextDocument document;
        document.setPlainText(QString::fromStdString(get_text()));
        run_qt(document);
        timed(state, [&] {
            while (document.isUndoAvailable()) document.undo();
        });
        if (document.toPlainText() != QString::fromStdString(get_text()))
            state.SkipWithError("the undone text differs");
    }
}

// --- Search --------------------------------------------------------------------------------------

int expected_matches()
{
    int count = 0;
    for (size_t at = get_text().find(WORD); at != std::string::npos; at = get_text().find(WORD, at + 1)) ++count;
    return count;
}

void BM_Search_Ours(benchmark::State& state)
{
    GuiTextBuffer buffer;
    buffer.set_text(get_text());
    for (auto _ : state) {
        int count = 0;
        timed(state, [&] {
            int line = 0, column = 0;
            int first_line = -1, first_column = -1;
            // Walks forward match after match until the search wraps to the first one.
            while (buffer.find(WORD, true, line, column)) {
                if (line == first_line && column == first_column) break;
                if (first_line < 0) first_line = line, first_column = column;
                ++count;
                column += 1;
            }
        });
        if (count != expected_matches()) state.SkipWithError("wrong match count");
    }
}

void BM_Search_Fltk(benchmark::State& state)
{
    Fl_Text_Buffer buffer(static_cast<int>(TEXT_BYTES), 1024);
    buffer.text(get_text().c_str());
    for (auto _ : state) {
        int count = 0;
        timed(state, [&] {
            int at = 0, found = 0;
            while (buffer.search_forward(at, WORD, &found, 1)) {
                ++count;
                at = found + 1;
            }
        });
        if (count != expected_matches()) state.SkipWithError("wrong match count");
    }
}

void BM_Search_Qt(benchmark::State& state)
{
    qt_app();
    QTextDocument document;
    document.setPlainText(QString::fromStdString(get_text()));
    for (auto _ : state) {
        int count = 0;
        timed(state, [&] {
            QTextCursor cursor(&document);
            while (!(cursor = document.find(QStringLiteral("needle"), cursor, QTextDocument::FindCaseSensitively)).isNull())
                ++count;
        });
        if (count != expected_matches()) state.SkipWithError("wrong match count");
    }
}

// --- Colouring -----------------------------------------------------------------------------------

std::string colored_text()
{
    std::string text;
    size_t at = 0;
    for (int line = 0; line < COLORED_LINES; ++line) {
        size_t const end = get_text().find('\n', at);
        text.append(get_text(), at, end + 1 - at);
        at = end + 1;
    }
    text.pop_back();
    return text;
}

char const* const KEYWORDS[] = {"function", "var", "if", "else", "for", "while", "return"};
char const* const RESERVED[] = {"true", "false", "null", "this"};

void BM_Colour_Ours(benchmark::State& state)
{
    GuiTextSyntax syntax;
    CoreVector<CoreString> keywords, reserved;
    for (char const* k : KEYWORDS) keywords.add(k);
    for (char const* k : RESERVED) reserved.add(k);
    syntax.set_table(GuiTextSyntax::TABLE_KEYWORDS, keywords);
    syntax.set_table(GuiTextSyntax::TABLE_RESERVED_KEYWORDS, reserved);
    syntax.set_table(GuiTextSyntax::TABLE_LINE_COMMENTS, {"//"});
    syntax.set_table(GuiTextSyntax::TABLE_BLOCK_COMMENTS, {"/*", "*/"});
    GuiTextBuffer buffer;
    buffer.set_text(colored_text());
    for (auto _ : state) {
        buffer.mark_all_dirty();
        int computed = 0;
        timed(state, [&] { computed = syntax.compute(buffer, 0, COLORED_LINES - 1); });
        if (computed != COLORED_LINES) state.SkipWithError("not every line was coloured");
    }
}

// The same kinds of token as rules of regular expressions, the usual way with Qt.
class QtHighlighter : public QSyntaxHighlighter {
public:
    explicit QtHighlighter(QTextDocument* document) : QSyntaxHighlighter(document)
    {
        QStringList words;
        for (char const* k : KEYWORDS) words << k;
        add("\\b(" + words.join('|') + ")\\b", Qt::blue);
        words.clear();
        for (char const* k : RESERVED) words << k;
        add("\\b(" + words.join('|') + ")\\b", Qt::red);
        add("\\b[0-9][A-Za-z0-9_]*", Qt::darkYellow);
        add("[-+*/=()<>\\[\\],;{}.:?%]|!=", Qt::gray);
        add("\"[^\"]*\"|'[^']*'", Qt::darkGreen);
        add("//[^\n]*", Qt::darkGray);
        m_comment.setForeground(Qt::darkGray);
    }

protected:
    void highlightBlock(QString const& text) override
    {
        for (Rule const& rule : m_rules) {
            QRegularExpressionMatchIterator it = rule.pattern.globalMatch(text);
            while (it.hasNext()) {
                QRegularExpressionMatch const match = it.next();
                setFormat(static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength()), rule.format);
            }
        }
        // Block comments across lines through the block state.
        setCurrentBlockState(0);
        int start = previousBlockState() == 1 ? 0 : static_cast<int>(text.indexOf(QStringLiteral("/*")));
        while (start >= 0) {
            int const end = static_cast<int>(text.indexOf(QStringLiteral("*/"), start));
            if (end < 0) {
                setCurrentBlockState(1);
                setFormat(start, static_cast<int>(text.length()) - start, m_comment);
                break;
            }
            setFormat(start, end + 2 - start, m_comment);
            start = static_cast<int>(text.indexOf(QStringLiteral("/*"), end + 2));
        }
    }

private:
    struct Rule {
        QRegularExpression pattern;
        QTextCharFormat format;
    };
    void add(QString const& pattern, QColor const& color)
    {
        Rule rule;
        rule.pattern = QRegularExpression(pattern);
        rule.pattern.optimize();
        rule.format.setForeground(color);
        m_rules.push_back(rule);
    }
    std::vector<Rule> m_rules;
    QTextCharFormat m_comment;
};

void BM_Colour_Qt(benchmark::State& state)
{
    qt_app();
    QTextDocument document;
    document.setPlainText(QString::fromStdString(colored_text()));
    QtHighlighter highlighter(&document);
    for (auto _ : state) {
        timed(state, [&] { highlighter.rehighlight(); });
        if (document.blockCount() != COLORED_LINES) state.SkipWithError("wrong line count");
    }
}

void configure(benchmark::internal::Benchmark* b)
{
    b->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Edits_Ours)->Apply(configure);
BENCHMARK(BM_Edits_Fltk)->Apply(configure);
BENCHMARK(BM_Edits_Qt)->Apply(configure);
BENCHMARK(BM_Undo_Ours)->Apply(configure);
BENCHMARK(BM_Undo_Qt)->Apply(configure);
BENCHMARK(BM_Search_Ours)->Apply(configure);
BENCHMARK(BM_Search_Fltk)->Apply(configure);
BENCHMARK(BM_Search_Qt)->Apply(configure);
BENCHMARK(BM_Colour_Ours)->Apply(configure);
BENCHMARK(BM_Colour_Qt)->Apply(configure);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-34s %10s %10s %10s %12s %12s\n", "operation", "ours ms", "FLTK ms", "Qt ms", "FLTK/ours", "Qt/ours");
    for (char const* name : {"Edits", "Undo", "Search", "Colour"}) {
        std::string const base = std::string("BM_") + name;
        double const ours = reporter.get_time(base + "_Ours");
        double const fltk = reporter.get_time(base + "_Fltk");
        double const qt = reporter.get_time(base + "_Qt");
        auto cell = [](double value) { return value > 0 ? std::to_string(value).substr(0, 9) : std::string("n/a"); };
        auto ratio = [&](double value) {
            return value > 0 && ours > 0 ? std::to_string(value / ours).substr(0, 7) + "x" : std::string("n/a");
        };
        std::printf("%-34s %10s %10s %10s %12s %12s\n", name, cell(ours).c_str(), cell(fltk).c_str(), cell(qt).c_str(),
                    ratio(fltk).c_str(), ratio(qt).c_str());
    }
    return 0;
}
