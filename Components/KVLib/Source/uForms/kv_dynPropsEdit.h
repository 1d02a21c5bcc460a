#pragma once
// The dynamic property editor: labelled editor rows (a number, a whole number, a check box, a choice
// list) made at run time on a panel and laid out in columns of a given number of row units; the values
// are read back by row name once the user closes the window that holds the panel.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

#include "platform/core/Variant.h"

class QWidget;

namespace utl::DynProps {

class DynPropsEdit;

// One row: its name (also its control's), caption (the label; empty for none), hint and control.
class ControlPrms {
public:
    ControlPrms(QString name, QString caption, QString hint);
    virtual ~ControlPrms();
    ControlPrms(const ControlPrms&) = delete;
    ControlPrms& operator=(const ControlPrms&) = delete;

    // Makes the row's control on the panel, at its natural size; the panel owns it.
    virtual QWidget* createControl(QWidget* panel) = 0;
    virtual bool hasLabel() const { return !caption_.isEmpty(); }
    virtual core::Variant getValue() const = 0;
    // Control height / 20 (at least 1), plus 1 for the label.
    virtual int heightUnits() const;

    const QString& name() const { return name_; }
    const QString& caption() const { return caption_; }
    const QString& hint() const { return hint_; }
    DynPropsEdit* owner() const { return owner_; }
    QWidget* control() const { return control_; }

private:
    friend class DynPropsEdit;
    QString name_;
    QString caption_;
    QString hint_;
    DynPropsEdit* owner_ = nullptr;
    QPointer<QWidget> control_;
};

// A number with a fixed count of decimals, in a currency edit grouped by thousands.
class ControlPrmsFloat : public ControlPrms {
public:
    ControlPrmsFloat(QString name, QString caption, int decimals, double value, QString hint = QString());
    QWidget* createControl(QWidget* panel) override;
    core::Variant getValue() const override;

    // ",0." followed by that many "0", then ";-" and the same again (",0.00;-,0.00" for two).
    static QString displayFormat(int decimals);

private:
    int decimals_;
    double value_;
};

// A whole number: a number row without decimals.
class ControlPrmsInt : public ControlPrmsFloat {
public:
    ControlPrmsInt(QString name, QString caption, int value, QString hint = QString());
};

// A flag; its caption stands on the box, so it has no label.
class ControlPrmsCheckBox : public ControlPrms {
public:
    ControlPrmsCheckBox(QString name, QString caption, bool checked, QString hint = QString());
    QWidget* createControl(QWidget* panel) override;
    bool hasLabel() const override { return false; }
    core::Variant getValue() const override;

private:
    bool checked_;
};

// A choice among items given as one text separated by "|" (a separator ending the text adds no
// item); the value is the selected index. Nothing can be typed.
class ControlPrmsComboBox : public ControlPrms {
public:
    ControlPrmsComboBox(QString name, QString caption, const QString& items, int selected,
                        QString hint = QString());
    QWidget* createControl(QWidget* panel) override;
    core::Variant getValue() const override;

    const QStringList& items() const { return items_; }

private:
    QStringList items_;
    int selected_;
};

class DynPropsEdit {
public:
    static constexpr int unitHeight = 20;
    static constexpr int margin = 10;

    // The panel must fill its parent, that is stand alone in its parent's layout; otherwise this
    // raises a core::Exception and nothing is made.
    DynPropsEdit(QWidget* panel, int unitsPerColumn);
    // Deletes the rows, last first; their controls stay with the panel.
    ~DynPropsEdit();
    DynPropsEdit(const DynPropsEdit&) = delete;
    DynPropsEdit& operator=(const DynPropsEdit&) = delete;

    // Appends the row and becomes its owner.
    ControlPrms& add(std::unique_ptr<ControlPrms> row);
    template <class Row, class... Args>
    Row& add(Args&&... args) {
        return static_cast<Row&>(add(std::make_unique<Row>(std::forward<Args>(args)...)));
    }

    // Makes every row's control and places the rows in columns, growing the window within the screen
    // when they do not fit. Once, after the rows were added and before the window shows.
    void build();

    // The first row of exactly that name; a core::Exception naming it and the place otherwise.
    ControlPrms& findControlPrms(const QString& name) const;
    core::Variant getValue(const QString& name) const;
    double getFloat(const QString& name) const;
    // Rounded to the nearest whole number, halves to the even one.
    int getInt(const QString& name) const;
    bool getBool(const QString& name) const;

    QWidget* panel() const { return panel_; }
    int unitsPerColumn() const { return unitsPerColumn_; }
    int columnWidth() const { return columnWidth_; }
    const std::vector<std::unique_ptr<ControlPrms>>& rows() const { return rows_; }

    // Whether the panel stands alone in its parent's layout.
    static bool fillsParent(const QWidget* panel);

private:
    void growWindow(int dw, int dh);

    QWidget* panel_;
    std::vector<std::unique_ptr<ControlPrms>> rows_;
    int unitsPerColumn_;
    int columnWidth_ = 0;
    int currentColumn_ = 0;
    int usedUnits_ = 0;
};

}  // namespace utl::DynProps
