\version "2.24.0"
% A small piece whose MIDI output is a test fixture of the importer:
% a pick-up, triplets, chords, a minor key, two staves and drums.
\score {
  <<
    \new Staff \with { midiInstrument = "violin" } \relative c'' {
      \key a \minor \time 4/4 \tempo 4 = 96
      \partial 4 e4 |
      a8 b c d e4 \tuplet 3/2 { d8 c b } |
      <a c e>4 r4 \tuplet 3/2 { a4 b c } |
      d1 |
    }
    \new Staff \with { midiInstrument = "cello" } \relative c {
      \clef bass \key a \minor \time 4/4
      \partial 4 r4 |
      a2 e' |
      a,4 c e2 |
      d1 |
    }
    \new DrumStaff \drummode {
      \partial 4 r4 |
      bd4 hh sn hh | bd4 hh sn hh | bd1 |
    }
  >>
  \midi { }
}
