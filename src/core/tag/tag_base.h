#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tag/file_item.h"
#include "tag/tag_state.h"

namespace ambrel {

// The tag interface: 19 operations in a fixed slot order, and the tag's kind,
// state and modified flag. Texts are UTF-8 on this side of the interface.
class TTagBase : public TFileItem {
public:
    TTagBase() = default;
    virtual ~TTagBase() = default;

    virtual void ChangeCase(int mode) = 0;                             // slot 0
    virtual int SetArtist(std::optional<std::string_view> text) = 0;   // slot 1
    virtual int SetTitle(std::optional<std::string_view> text) = 0;    // slot 2
    virtual int SetAlbum(std::optional<std::string_view> text) = 0;    // slot 3
    virtual int SetYear(std::optional<std::string_view> text) = 0;     // slot 4
    virtual int SetComment(std::optional<std::string_view> text) = 0;  // slot 5
    virtual int SetTrack(int value) = 0;                               // slot 6
    virtual int SetGenre(int value) = 0;                               // slot 7
    virtual int SetPicture() = 0;                                      // slot 8
    virtual std::string GetArtist() const = 0;                         // slot 9
    virtual std::string GetTitle() const = 0;                          // slot 10
    virtual std::string GetAlbum() const = 0;                          // slot 11
    virtual std::string GetYear() const = 0;                           // slot 12
    virtual std::string GetComment() const = 0;                        // slot 13
    virtual int GetTrack() const = 0;                                  // slot 14
    virtual int GetGenre() const = 0;                                  // slot 15
    virtual int HasPicture() const = 0;                                // slot 16
    virtual int Load() = 0;                                            // slot 17
    virtual int Save() = 0;                                            // slot 18

    // Stores any kind, one of the named ones or not.
    void SetKind(TagKind kind) { kind_ = kind; }
    TagKind GetKind() const { return kind_; }
    // A state number from outside names its state through TagStateFromInt.
    void SetState(TagState state) { state_ = state; }
    TagState GetState() const { return state_; }
    void SetModified(bool modified) { modified_ = modified; }
    bool IsModified() const { return modified_; }

protected:
    TagKind kind_ = TagKind::kUnset;
    TagState state_ = tsNone;
    bool modified_ = false;
};

}  // namespace ambrel
