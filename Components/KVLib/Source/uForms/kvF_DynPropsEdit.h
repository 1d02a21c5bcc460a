#pragma once
// The window of the dynamic property editor: the rows' panel above OK and Cancel. The creator adds the
// rows to props(), builds them, shows the window modally and, after OK, reads the values by row name
// before destroying it.

#include <QString>
#include <memory>

#include "kv_dynPropsEdit.h"
#include "platform/ui/Form.h"

class QFrame;
class QPushButton;

namespace utl::DynProps {

class TFKVDynPropsEdit : public ui::Form {
    Q_OBJECT
public:
    // Starts 200 x 74 (never narrower than 200) and grows as the rows need.
    TFKVDynPropsEdit(QWidget* owner, int unitsPerColumn, const QString& caption);
    ~TFKVDynPropsEdit() override;

    DynPropsEdit& props() { return *props_; }

    QFrame* pnl_Props;
    QFrame* ButtonsPanel;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

private:
    std::unique_ptr<DynPropsEdit> props_;
};

}  // namespace utl::DynProps
