#pragma once

#include <functional>

namespace quillon {

class ManagedObjectContext;
class DeleteHistory;
struct SelectionState;
class DocumentPicker;
class MailService;
class ShareSheet;
class UrlOpener;
class Clock;
class Camera;
class PhotoLibrary;
class StoreReview;
class Printer;
class ReviewService;

// The device services: what the program reaches outside itself. The desktop's own in the
// program, fakes in tests; each outlives the services made with it.
struct Devices {
    DocumentPicker& picker;
    MailService& mail;
    ShareSheet& share;
    UrlOpener& urls;
    Clock& clock;
    Camera& camera;
    PhotoLibrary& photos;
    StoreReview& storeReview;
    Printer& printer;
};

// What a screen is given instead of reaching for globals: the catalogue, the hand-over state
// between screens and the device services. The application builds one after opening the store
// and hands it to every segue factory; tests build one with fakes. Everything referred to
// outlives every screen made with it. Main thread only.
struct Services {
    ManagedObjectContext& context;
    // Saves the context when it has changes; a failure is told to the user (an alert over the
    // active window) and false is returned, the changes still pending.
    std::function<bool()> saveContext;
    DeleteHistory& deletes;
    SelectionState& selection;
    DocumentPicker& picker;
    MailService& mail;
    ShareSheet& share;
    UrlOpener& urls;
    Clock& clock;
    Camera& camera;
    PhotoLibrary& photos;
    Printer& printer;
    // Asks the store for a review, at most once a week.
    ReviewService& review;
};

inline Services makeServices(ManagedObjectContext& context, std::function<bool()> saveContext,
                             DeleteHistory& deletes, SelectionState& selection,
                             ReviewService& review, const Devices& devices) {
    return {context,        std::move(saveContext), deletes,      selection,     devices.picker,
            devices.mail,   devices.share,          devices.urls, devices.clock, devices.camera,
            devices.photos, devices.printer,        review};
}

}  // namespace quillon
