#pragma once

#include <QDialog>

namespace taskloom {

// Explains the two things about task lines nobody can guess: the "+ days"
// ending and the "//" start that runs a task beside the one before it.
// Made afresh for every opening and shown modally.
class TipsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TipsDialog(QWidget* parent = nullptr);
};

} // namespace taskloom
