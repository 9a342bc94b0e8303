#include "app/PictureArrival.h"

#include "imagora/Imagora.h"

PictureArrival::~PictureArrival()
{
    if (pending_)
        deldib(Take());
}

void PictureArrival::Start(const std::string& path, const TDibRecord& preview,
                           std::function<void()> done)
{
    path_ = path;
    preview_ = preview;
    picture_ = {};
    pending_ = true;
    ready_ = false;
    worker_ = std::thread([this, done = std::move(done)] {
        OpenDib(&picture_, path_.c_str(), 0, nullptr);
        ready_ = true;
        done();
    });
}

TDibRecord PictureArrival::Take()
{
    if (worker_.joinable())
        worker_.join();
    deldib(preview_);
    preview_ = {};
    pending_ = false;
    const TDibRecord picture = picture_;
    picture_ = {};
    return picture;
}
