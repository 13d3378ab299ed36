#pragma once

#include <QList>
#include <QWidget>
#include <string>
#include <vector>

#include "core/ports/Desktop.h"

class QLabel;

namespace zintor {

// The key help window: the phone's keys and what they do in the current key map, one row each. Laid
// out in twips: headings "Key" at (120, 120) and "Function" at (1680, 120), row r at top r * 250 +
// 480, the function column 1560 right of the key column; the window is 300 wider than the right
// edge of the widest function text and 800 taller than the last row's top. It stays above other
// windows and does not take the keyboard focus (keys from the phone keep going to the window the
// user works in).
class KeyHelpWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kLeft = 120;
    static constexpr int kHeadingTop = 120;
    static constexpr int kFirstRowTop = 480;
    static constexpr int kRowHeight = 250;
    static constexpr int kFunctionOffset = 1560;
    static constexpr int kExtraWidth = 300;
    static constexpr int kExtraHeight = 800;

    KeyHelpWindow(const std::string& caption, const std::vector<KeyHelpRow>& rows);
    ~KeyHelpWindow() override;

    // Closes the window without reporting it as closed by the user.
    void closeQuietly();

    const QList<QLabel*>& keyLabels() const { return keys_; }
    const QList<QLabel*>& functionLabels() const { return functions_; }

  signals:
    // The window went away otherwise than through closeQuietly().
    void closedByUser();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QLabel* place(const QString& text, int leftTwips, int topTwips, const QString& name,
                  const QFont* font = nullptr);

    QList<QLabel*> keys_;
    QList<QLabel*> functions_;
    bool quiet_ = false;
};

}  // namespace zintor
