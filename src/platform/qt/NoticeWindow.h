#pragma once

#include <QTimer>
#include <QWidget>
#include <string>

class QLabel;

namespace zintor {

// The key-map notice, captioned "Zintor": names the key map just switched to. It closes itself
// 3000 ms after it was shown or after its last setText. It stays above other windows and does
// not take the keyboard focus.
class NoticeWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kCloseAfterMs = 3000;

    explicit NoticeWindow(const std::string& text);
    ~NoticeWindow() override;

    // New text; the window gets a fresh 3000 ms.
    void setText(const std::string& text);
    // Closes the window without reporting it.
    void closeQuietly();

    QLabel* label() { return label_; }

  signals:
    // The window closed by itself (its time ran out) or by the user.
    void closedByItself();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QLabel* label_ = nullptr;
    QTimer timer_;
    bool quiet_ = false;
};

}  // namespace zintor
