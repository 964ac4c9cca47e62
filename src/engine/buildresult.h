#pragma once

#include "problem.h"
#include "schedule.h"

#include <variant>

namespace taskloom {

// A build gives either a whole new schedule or a refusal; a refusal leaves the
// caller's previous schedule as it was.
class BuildResult {
public:
    BuildResult(Schedule schedule) : m_value(std::move(schedule)) {}
    BuildResult(Problem refusal) : m_value(std::move(refusal)) {}

    bool isRefusal() const { return std::holds_alternative<Problem>(m_value); }
    const Schedule& schedule() const { return std::get<Schedule>(m_value); }
    Schedule& schedule() { return std::get<Schedule>(m_value); }
    const Problem& refusal() const { return std::get<Problem>(m_value); }

private:
    std::variant<Schedule, Problem> m_value;
};

} // namespace taskloom
