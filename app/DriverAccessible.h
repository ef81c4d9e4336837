#pragma once

// dados-driver's view of the accessibility model: what a screen reader would be told of a
// control named by its component name, and the actions it would take. Each function takes the
// whole command line and returns the answer line ("ok …"); a failed command throws
// std::runtime_error with the reason. The first of them installs the listener whose events
// accessible-events reports.
//
//   accessible NAME              ok ROLE|NAME|DESCRIPTION|VALUE|STATES (VALUE: the value, else
//                                the text, else empty)
//   accessible-children NAME     ok and the children's names in navigation order
//   accessible-relations NAME    ok and RELATION:NAME pairs
//   accessible-action NAME ACTION [ARGUMENT]
//                                click; increase, decrease, set-value N; set-text TEXT
//   accessible-events            ok and TYPE:NAME of the events delivered since the last call
//
// An object without a component name is written as its role in angle brackets, blanks as
// hyphens; the open message dialog goes by that name ("<alert>") in the commands too.

#include <string>

namespace app::driver {

std::string AccessibleCommand(const std::string& line);
std::string AccessibleChildrenCommand(const std::string& line);
std::string AccessibleRelationsCommand(const std::string& line);
// Call the session's Acknowledge before: a click may open a modal message first.
std::string AccessibleActionCommand(const std::string& line);
std::string AccessibleEventsCommand(const std::string& line);

}  // namespace app::driver
