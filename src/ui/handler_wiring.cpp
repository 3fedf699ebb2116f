// SPDX-License-Identifier: MIT
#include "ui/handler_wiring.hpp"

#include "core/handlers.hpp"

namespace trakora::ui {

void wire_handlers(State& state, QtView& view) {
    State* s = &state;
    View* v = &view;
    MainWindow& form1 = view.main_window();
    const Form1Controls& c = form1.controls();

    QObject::connect(c.drive1, &DriveList::driveChosen, &form1,
                     [s, v] { form1::Drive1_Change(*s, *v); });
    QObject::connect(c.dir1, &FolderList::folderOpened, &form1,
                     [s, v] { form1::Dir1_Change(*s, *v); });
    QObject::connect(c.text2, &QLineEdit::textChanged, &form1,
                     [s, v] { form1::Text2_Change(*s, *v); });
    QObject::connect(&form1, &MainWindow::text3KeyPressed, &form1,
                     [s, v](std::int16_t& key_ascii) { form1::Text3_KeyPress(*s, *v, key_ascii); });
    QObject::connect(c.command1, &QPushButton::clicked, &form1,
                     [s, v] { form1::Command1_Click(*s, *v); });
    QObject::connect(c.command2, &QPushButton::clicked, &form1,
                     [s, v] { form1::Command2_Click(*s, *v); });
    QObject::connect(c.command3, &QPushButton::clicked, &form1,
                     [s, v] { form1::Command3_Click(*s, *v); });
    QObject::connect(c.timer1, &PollTimer::tick, &form1, [s, v] { form1::Timer1_Timer(*s, *v); });
    QObject::connect(&form1, &MainWindow::closing, &form1, [s, v] { form1::Form_Unload(*s, *v); });

    QObject::connect(&view.object_window().picture(), &ObjectPicture::pressed, &form1,
                     [s, v](std::int16_t button, std::int16_t shift, float x, float y) {
                         form4::Picture1_MouseDown(*s, *v, button, shift, x, y);
                     });
}

}  // namespace trakora::ui
