// SPDX-License-Identifier: MIT
#include "ui/main_window.hpp"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>

#include "core/start_values.hpp"
#include "ui/crosshair_icon.hpp"
#include "ui/ui_fonts.hpp"

namespace trakora::ui {

namespace {

// The controls without a font of their own use the window's: the Japanese family at the
// size of a Japanese desktop's dialog font, narrow enough for "objec setting" to fit its
// button.
constexpr double kDefaultPoints = 9;
constexpr double kFieldPoints = 12;
constexpr double kResultPoints = 14.25;

template <typename Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
              int height) {
    auto* l = place(new QLabel(text, parent), name, left, top, width, height);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* b = place(new QPushButton(caption, parent), name, left, top, width, height);
    // Enter on a focused button presses it, as Space does.
    b->setAutoDefault(true);
    return b;
}

// The character code of a key press as a 16-bit value, or -1 for keys that type no
// character (arrows, Delete, Tab, which moves the focus instead).
int character_code(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return 13;
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab || key.key() == Qt::Key_Delete)
        return -1;
    const QString text = key.text();
    if (text.isEmpty()) return -1;
    return text.at(0).unicode();
}

}  // namespace

MainWindow::MainWindow(const QString& folder, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Trakora ver1.00"));
    setWindowIcon(crosshair_icon());
    setFixedSize(kClientWidth, kClientHeight);
    setFont(japanese_font(kDefaultPoints));
    build(folder);
    chain_tab_order();
}

void MainWindow::build(const QString& folder) {
    Form1Controls& c = controls_;
    c.drive1 = place(new DriveList(folder, this), "Drive1", 8, 40, 393, 20);
    c.dir1 = place(new FolderList(folder, this), "Dir1", 8, 64, 393, 118);
    c.text1 = place(new QLineEdit(this), "Text1", 120, 8, 281, 25);
    c.label1 = label(this, "Label1", tr("CCD画像フォルダー"), 8, 16, 121, 17);
    c.command1 = button(this, "Command1", tr("Start"), 88, 192, 73, 49);
    c.command2 = button(this, "Command2", tr("Stop"), 168, 192, 73, 49);
    c.picture1 = place(new PlotPicture(this), "Picture1", 8, 248, 393, 161);
    c.label2 = label(this, "Label2", tr("インターバル"), 256, 192, 73, 17);
    c.text2 = place(new QLineEdit(QString::fromUtf8(kStartIntervalText), this), "Text2", 328, 184,
                    33, 25);
    c.text2->setFont(japanese_font(kFieldPoints));
    c.label3 = label(this, "Label3", tr("秒"), 368, 192, 25, 17);
    c.command3 = button(this, "Command3", tr("objec setting"), 8, 192, 73, 49);
    c.text3 =
        place(new QLineEdit(QString::fromUtf8(kStartCountText), this), "Text3", 328, 216, 57, 25);
    c.text3->setFont(japanese_font(kFieldPoints));
    c.text3->installEventFilter(this);
    c.label4 = label(this, "Label4", tr("最大測定数"), 256, 224, 65, 17);
    // The result label sits on the plot; it has no background of its own, so the plot's
    // points stay visible behind it.
    const QPoint inside = c.picture1->client_origin();
    c.label5 = label(c.picture1, "Label5", QString(), inside.x() + 8, inside.y() + 8, 121, 17);
    c.label5->setFont(japanese_font(kResultPoints));
    c.label5->setAutoFillBackground(false);
    // Beyond the plot itself: its menu opens the drift window.
    c.picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(c.picture1, &QWidget::customContextMenuRequested, this,
            &MainWindow::offer_drift_window);
    c.timer1 = new PollTimer(this);
    c.timer1->setObjectName(QStringLiteral("Timer1"));
}

void MainWindow::chain_tab_order() {
    const Form1Controls& c = controls_;
    QWidget* order[] = {c.drive1,   c.dir1,  c.text1,    c.command1, c.command2,
                        c.picture1, c.text2, c.command3, c.text3};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    c.drive1->setFocus();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
}

void MainWindow::offer_drift_window(const QPoint& at) {
    QMenu menu(this);
    menu.addAction(tr("ドリフト解析…"), this, &MainWindow::driftWindowRequested);
    menu.exec(controls_.picture1->mapToGlobal(at));
}

// Ctrl+D reaches the window only when the control with the focus does not take it, so
// the text boxes keep their keys.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_D && event->modifiers() == Qt::ControlModifier) {
        emit driftWindowRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_.text3 && event->type() == QEvent::KeyPress) {
        const int code = character_code(*static_cast<QKeyEvent*>(event));
        if (code >= 0) {
            auto key_ascii = static_cast<std::int16_t>(code);
            emit text3KeyPressed(key_ascii);
            if (key_ascii == 0) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace trakora::ui
