#pragma once

#include <QTimer>
#include <QWidget>

namespace quillon {

// A spinning indicator of the medium size; hidden while stopped. Keeps itself centred on the
// widget it is placed over.
class ActivityIndicator : public QWidget {
    Q_OBJECT
public:
    explicit ActivityIndicator(QWidget* centredOn);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void centre();

    QTimer timer_;
    int step_ = 0;
};

}  // namespace quillon
