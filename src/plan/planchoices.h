#pragma once

#include "engine/buildinputs.h"

#include <QDate>
#include <QString>

namespace taskloom {

// The five choices a user makes on screen (or with options): they stay in
// the widgets and the options and are handed to the plan at each call.
struct PlanChoices {
    QString taskText;
    QString projectName;
    StartOption startOption = StartOption::RightAway;
    QDate pickedStartDate;
    bool weekApplies = true;

    friend bool operator==(const PlanChoices&, const PlanChoices&) = default;
};

} // namespace taskloom
