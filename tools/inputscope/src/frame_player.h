#pragma once

// The watch viewer's player: a session a frame at a time, forward and back. The last frames are
// kept for stepping back at once; further back the session runs again from the start (the run is
// the same every time).

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

#include "runner.h"

namespace inputscope {

class FramePlayer {
public:
    FramePlayer(const Session& session, const RunOptions& run, std::size_t history = 600)
        : m_session(session), m_run(run), m_keep(history) {
        restart();
    }

    // Back to the first frame.
    void restart() {
        m_player.reset(); // its host resets the stand-in: the old one goes first
        m_player = std::make_unique<SessionPlayer>(m_session, m_run);
        m_history.clear();
        m_future.clear();
        m_have = m_player->next(m_frame);
        m_ended = !m_have;
    }
    bool forward() {
        FrameView next;
        if (!m_future.empty()) {
            // Frames stepped back over come again from memory: the run is already past them.
            next = std::move(m_future.back());
            m_future.pop_back();
        } else if (m_ended || !m_player->next(next)) {
            m_ended = true;
            return false;
        }
        m_history.push_back(std::move(m_frame));
        if (m_history.size() > m_keep)
            m_history.pop_front();
        m_frame = std::move(next);
        return true;
    }
    void back() {
        if (!m_history.empty()) {
            m_future.push_back(std::move(m_frame));
            m_frame = std::move(m_history.back());
            m_history.pop_back();
            return;
        }
        int target = m_frame.frame - 1;
        if (target < 1)
            return;
        restart();
        while (m_frame.frame < target && forward()) {
        }
    }
    bool have() const { return m_have; }
    bool ended() const { return m_ended && m_future.empty(); }
    const FrameView& frame() const { return m_frame; }

private:
    const Session& m_session;
    const RunOptions& m_run;
    std::unique_ptr<SessionPlayer> m_player;
    std::size_t m_keep;
    std::deque<FrameView> m_history; // before the frame shown, the latest last
    std::vector<FrameView> m_future; // after it, stepped back over, the next last
    FrameView m_frame;
    bool m_have = false, m_ended = false;
};

} // namespace inputscope
