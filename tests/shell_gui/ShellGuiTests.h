#pragma once
// The window test classes of shell_gui_tests, in the order the test main runs them.

#include <QObject>
#include <memory>

namespace korvane {

std::unique_ptr<QObject> newFormMainGeometryTest();
std::unique_ptr<QObject> newFormMainLayoutTest();
std::unique_ptr<QObject> newFormMainCommandsTest();
std::unique_ptr<QObject> newOpenWithTest();
std::unique_ptr<QObject> newShellDialogsTest();
std::unique_ptr<QObject> newCaptionFitTest();

}  // namespace korvane
