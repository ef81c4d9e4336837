// A headless application with one form for the die tests, and seeds that make the shared
// generator draw a chosen number.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "desktop/backends/Headless.h"
#include "dice/RandomSource.h"
#include "dice/VoDice.h"
#include "framework/ClassesHooks.h"
#include "framework/Forms.h"

namespace dice::testing {

// A seed from which the next RandomBelow(6) returns k (0..5): the step must land in
// [k * 2^32 / 6, (k + 1) * 2^32 / 6), so step back from a point inside that range.
inline std::uint32_t SeedDrawing(int k)
{
    constexpr std::uint32_t kMultiplier = 134775813u;
    std::uint32_t inverse = kMultiplier;  // Newton's iteration for the inverse modulo 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - kMultiplier * inverse;
    const auto target = static_cast<std::uint32_t>((std::uint64_t(k) << 32) / 6 + 12345);
    return (target - 1u) * inverse;
}

class DieTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        app_ = std::make_unique<fw::TApplication>();
        form_ = fw::NewForm<fw::TForm>(app_.get(), fw::CreateNew);
        form_->SetBounds(100, 100, 400, 300);
        VoDiceInit();
    }
    void TearDown() override
    {
        app_.reset();
        // The application's exit leaves the process-wide flag set; later tests start afresh.
        fw::SetApplicationShuttingDown(false);
        desktop::headless::Uninstall();
        SetUtcClock({});
        GeneratorSeed = savedSeed_;
    }

    // A die on the form (not shown until the form is).
    TVoDice* NewDie(int left = 10, int top = 10)
    {
        auto* die = new TVoDice(form_);
        die->SetParent(form_);
        die->SetLeft(left);
        die->SetTop(top);
        return die;
    }
    void ShowForm()
    {
        form_->Show();
        app_->ProcessMessages();
    }

    std::unique_ptr<fw::TApplication> app_;
    fw::TForm* form_ = nullptr;

private:
    std::uint32_t savedSeed_ = GeneratorSeed;
};

}  // namespace dice::testing
