#pragma once
// What an instrument shows, in a form assistive technology (AT-SPI) can read: a painted
// widget is otherwise a blank rectangle to a screen reader or a test that drives the program
// as a person does. Every instrument widget implements InstrumentReading; one accessibility
// factory turns it into an accessible object with a name, the reading as its description
// and, for numeric instruments, a value interface (current, minimum, maximum).
#include <QAccessible>
#include <QString>
#include <optional>

class QWidget;

struct InstrumentValue {
    double current = 0;
    double minimum = 0;
    double maximum = 0;
};

class InstrumentReading {
public:
    virtual ~InstrumentReading() = default;
    // The current reading as text, e.g. "25.1C", "35.2", "on".
    virtual QString readingText() const = 0;
    // Numeric instruments give their value and range; lamps 0/1.
    virtual std::optional<InstrumentValue> readingValue() const { return std::nullopt; }
    virtual QAccessible::Role readingRole() const = 0;
    // The name used when the owner set no accessibleName (caption, title); empty for none,
    // then the objectName ("iLedBarX1") is used, since AT-SPI does not expose objectName.
    virtual QString readingDefaultName() const { return {}; }
};

// Installs the factory once per process; every instrument constructor calls it.
void installInstrumentAccessibility();

// Tells an active assistive technology that the reading of `widget` changed. Costs nothing
// when no assistive technology is listening.
void notifyReadingChanged(QWidget* widget, bool valueChanged);
