#pragma once

#include <QDateTime>
#include <QUrl>
#include <optional>

class QWidget;

namespace quillon {

class Clock;
class UrlOpener;

// The store's invitation to rate the program. Whether it shows anything is the store's choice.
// A device boundary: tests give the review service one of their own.
class StoreReview {
public:
    virtual ~StoreReview() = default;
    virtual void requestReview(QWidget* window) = 0;
};

// A small prompt beside `window` that never takes the keyboard focus, offering to open the
// store's review page (writeReviewUrl). Shows nothing while the program has no store page.
class DesktopStoreReview : public StoreReview {
public:
    DesktopStoreReview(QUrl storePage, UrlOpener& urls)
        : storePage_(std::move(storePage)), urls_(urls) {}
    void requestReview(QWidget* window) override;

private:
    QUrl storePage_;
    UrlOpener& urls_;
};

// Asks the store for a review at most once in seven calendar days, remembering the last request
// in the user defaults. Main thread only.
class ReviewService {
public:
    static constexpr const char* kLastRequestKey = "ReviewService.lastRequest";

    ReviewService(const Clock& clock, StoreReview& store) : clock_(clock), store_(store) {}
    // Absent when never asked, or when what is stored is not a date.
    std::optional<QDateTime> lastRequest() const;
    void setLastRequest(const std::optional<QDateTime>& when);
    bool canRequestReview() const;
    void requestReview(QWidget* window);

private:
    const Clock& clock_;
    StoreReview& store_;
};

}  // namespace quillon
