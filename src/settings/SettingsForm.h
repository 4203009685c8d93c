#pragma once

#include <QString>

class QBoxLayout;
class QCheckBox;
class QGroupBox;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace halvrick {

// The grouped form both settings panes are laid out in: sections stacked in a scroll area, each
// holding its rows one under the other.
namespace SettingsForm {

// The pane's layout, of `pane`'s scrolled content; sections go into it.
QVBoxLayout* makePane(QWidget& pane);
// A titled section (no title for none) added to `pane`, and the layout for its rows.
QVBoxLayout* addSection(QVBoxLayout& pane, const QString& title, QGroupBox** box = nullptr);
// A caption line: small, secondary, plain text, wrapped.
QLabel* caption(const QString& text, QWidget* parent = nullptr);
// A row of controls side by side, added to `section`.
QBoxLayout* addRow(QVBoxLayout& section, int spacing = -1);

// Shows a value in a switch without announcing it as the user's.
void setChecked(QCheckBox& box, bool checked);

} // namespace SettingsForm

} // namespace halvrick
