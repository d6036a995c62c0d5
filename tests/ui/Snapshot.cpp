// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Snapshot.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <cstdio>
#include <cstdlib>

#include "graph/DrawGraph.h"
#include "support/TempDir.h"
#include "widgets/ShapeButton.h"

namespace stepora::test {
namespace {

QString Q(const QString& text) {
    return '"' + QString(text).replace('\n', "\\n") + '"';
}
QString Rect(const GraphRect& r) {
    return QString("(%1,%2 %3,%4)").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

class Writer {
public:
    explicit Writer(const QWidget& window) : window_(window) {}
    QString text;

    void Widget(const QWidget& w, const QString& indent) {
        if (&w != &window_ && (w.isWindow() || !w.isVisibleTo(&window_))) return;
        const QAccessibleInterface* a = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(&w));
        // A screen reader names a field by the label pointing at it, else by its own name.
        QString name = a ? a->text(QAccessible::Name) : QString();
        const bool field = qobject_cast<const QLineEdit*>(&w) || qobject_cast<const QComboBox*>(&w);
        if (const auto labels = a && field ? a->relations(QAccessible::Label) : decltype(a->relations()){}; !labels.isEmpty())
            name = labels.front().first->text(QAccessible::Name);
        QString line;
        if (auto* button = qobject_cast<const QAbstractButton*>(&w)) {
            const bool option = button->isCheckable() && !qobject_cast<const QPushButton*>(&w);
            line = (option ? "option " : "button ") + Q(button->text());
            if (name != button->text()) line += " named " + Q(name);
            if (button->isCheckable()) line += button->isChecked() ? " checked" : " unchecked";
            if (auto* push = qobject_cast<const QPushButton*>(&w); push && push->isDefault()) line += " default";
            if (auto* shape = qobject_cast<const CShapeButton*>(&w))
                line += QString(" %1/%2/%3%4")
                            .arg(shape->StateColour(CShapeButton::Normal).name(), shape->StateColour(CShapeButton::Hover).name(),
                                 shape->StateColour(CShapeButton::Disabled).name(), shape->IsHovering() ? " hover" : "");
        } else if (auto* label = qobject_cast<const QLabel*>(&w)) {
            line = label->pixmap().isNull()
                       ? "label " + Q(label->text())
                       : QString("picture %1x%2 ").arg(label->pixmap().width()).arg(label->pixmap().height()) + Q(name);
        } else if (auto* edit = qobject_cast<const QLineEdit*>(&w)) {
            line = "edit " + Q(name) + " = " + Q(edit->displayText()) + (edit->isReadOnly() ? " read-only" : "");
        } else if (auto* combo = qobject_cast<const QComboBox*>(&w)) {
            const int n = combo->count();
            line = "combo " + Q(name) + " = " + Q(combo->currentText()) + QString(" of %1").arg(n);
            if (n > 0) line += " [" + combo->itemText(0) + " .. " + combo->itemText(n - 1) + "]";
        } else if (auto* tabs = qobject_cast<const QTabBar*>(&w)) {
            line = "tabs";
            for (int i = 0; i < tabs->count(); ++i) line += " " + Q(tabs->tabText(i)) + (i == tabs->currentIndex() ? "*" : "");
        } else if (qobject_cast<const CDrawGraph*>(&w)) {
            line = (a && a->role() == QAccessible::Chart ? "chart " : "graph without its role ") + Q(name);
        } else if (qobject_cast<const QAbstractItemView*>(&w)) {
            line = "table " + Q(name);
        } else if (auto* group = qobject_cast<const QGroupBox*>(&w)) {
            line = "group " + Q(group->title());
        }
        if (!line.isEmpty()) {
            if (!w.isEnabled()) line += " disabled";
            if (window_.focusWidget() == &w) line += " focus";
            text += indent + line + "\n";
        }
        if (auto* graph = qobject_cast<const CDrawGraph*>(&w)) return Graph(*graph, indent + "  ");
        if (auto* view = qobject_cast<const QTableView*>(&w)) return Table(*view, indent + "  ");
        if (!line.isEmpty() && !qobject_cast<const QGroupBox*>(&w)) return;
        for (QObject* child : w.children())
            if (auto* c = qobject_cast<QWidget*>(child)) Widget(*c, line.isEmpty() ? indent : indent + "  ");
    }

    // The header with the sort mark, then a row a line: "> " selected, "*" the current one.
    void Table(const QTableView& view, const QString& indent) {
        const QAbstractItemModel* model = view.model();
        const QHeaderView* header = view.horizontalHeader();
        QString head = indent + "|";
        for (int c = 0; c < model->columnCount(); ++c) {
            head += " " + model->headerData(c, Qt::Horizontal).toString();
            if (header->isSortIndicatorShown() && header->sortIndicatorSection() == c)
                head += header->sortIndicatorOrder() == Qt::AscendingOrder ? " (ascending)" : " (descending)";
            head += " |";
        }
        if (!header->isHidden()) text += head + "\n";
        for (int r = 0; r < model->rowCount(); ++r) {
            QString row =
                indent + (view.selectionModel()->isRowSelected(r, {}) ? ">" : " ") + (view.currentIndex().row() == r ? "*" : " ");
            for (int c = 0; c < model->columnCount(); ++c) row += model->index(r, c).data().toString() + " | ";
            text += row + "\n";
        }
    }

    void Graph(const CDrawGraph& graph, const QString& indent) {
        const GraphLayout& l = graph.Layout();
        text += indent + "description " + Q(graph.accessibleDescription()) + "\n" + indent + "layout client" + Rect(l.client) +
                " legend" + Rect(l.legend) + " upper" + Rect(l.upperPanel) + Rect(l.upperPlot) + " lower" + Rect(l.lowerPanel) +
                Rect(l.lowerPlot) + "\n";
        const GraphData* data = graph.Data();
        if (!data || data->barCount == 0) return;
        text += indent + "legend " + Q(QString::fromStdString(data->valueTitle)) + " " +
                Q(QString::fromStdString(data->goalTitle)) + " " + Q(QString::fromStdString(data->unitText)) + " trimmed" +
                Rect(TrimPlot(l.upperPlot, data->barCount)) + "\n" + indent + "axis";
        for (const std::string& label : data->axisLabels) text += " " + QString::fromStdString(label);
        text += QString(" max %1 goal %2\n").arg(data->axisMax).arg(data->goalValue);
    }

    void Menus(const QMenuBar& bar) {
        for (QAction* menu : bar.actions()) {
            text += "menu " + Q(menu->text()) + ":";
            for (QAction* item : menu->menu()->actions())
                text += item->isSeparator()
                            ? " |"
                            : " " + Q(item->text()) + (item->isEnabled() ? "" : "-") + (item->isChecked() ? "*" : "");
            text += "\n";
        }
    }

private:
    const QWidget& window_;
};

Snapshot* g_current = nullptr;

}  // namespace

std::string Describe(const QWidget& window) {
    Writer writer(window);
    writer.text = "window " + Q(window.windowTitle()) + (window.isVisible() ? "" : " hidden") + "\n";
    if (auto* bar = window.findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) writer.Menus(*bar);
    writer.Widget(window, "");
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
            writer.text += "box " + Q(box->windowTitle()) + " " + Q(box->text());
            for (QAbstractButton* b : box->buttons()) writer.text += " [" + b->text() + "]";
            writer.text += "\n";
        }
    return writer.text.toStdString();
}

Snapshot::Snapshot(std::string name) : name_(std::move(name)) {
    g_current = this;
}

Snapshot* Snapshot::Current() {
    return g_current;
}

void Snapshot::Stabilise(std::string varying, std::string stable) {
    stable_.emplace_back(std::move(varying), std::move(stable));
}

void Snapshot::Line(const std::string& line) {
    QString stable = QString::fromStdString(line);
    for (const auto& [from, to] : stable_) stable.replace(QString::fromStdString(from), QString::fromStdString(to));
    text_ += stable.toStdString() + "\n";
}

void Snapshot::Step(const std::string& heading, const QWidget& window) {
    const std::string description = Describe(window);
    Line("## " + heading + "\n" + description.substr(0, description.size() - 1));
}

Snapshot::~Snapshot() {
    g_current = nullptr;
    const std::filesystem::path reviewed = std::filesystem::path(STEPORA_SNAPSHOT_DIR) / (name_ + ".txt");
    const char* update = std::getenv("STEPORA_UPDATE_SNAPSHOTS");
    if (update && *update == '1') {
        EXPECT_TRUE(WriteFile(reviewed, text_)) << reviewed;
        return;
    }
    if (ReadFile(reviewed) == text_) return;
    const std::filesystem::path seen = std::filesystem::path(STEPORA_BINARY_DIR) / "snapshots" / (name_ + ".txt");
    WriteFile(seen, text_);
    std::string diff(1 << 16, '\0');
    FILE* pipe = popen(("diff -u '" + reviewed.string() + "' '" + seen.string() + "' | head -150").c_str(), "r");
    diff.resize(pipe ? fread(diff.data(), 1, diff.size(), pipe) : 0);
    if (pipe) pclose(pipe);
    ADD_FAILURE() << "the window differs from tests/snapshots/" << name_
                  << ".txt (scripts/update-snapshots.sh takes it over after a review):\n"
                  << diff;
}

}  // namespace stepora::test
