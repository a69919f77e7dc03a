#pragma once
// The intro window shown over the main frame at start-up. It stays until the first key
// or mouse button press anywhere in the program; that input then goes on as usual.
#include <QPointer>
#include <QWidget>

namespace tessary {

class CIntroWindow : public QWidget {
  Q_OBJECT
 public:
  explicit CIntroWindow(QWidget* frame);
  ~CIntroWindow() override;

  static const QStringList& Lines();
  // Centres the window on the frame (or the screen), shows it and paints it at once.
  // It stays centred on the frame while the frame is placed, moved or resized.
  void ShowOver(QWidget* frame);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Dismiss();
  void Centre();

  QPointer<QWidget> m_pFrame;
  bool m_bDismissed = false;
};

}  // namespace tessary
