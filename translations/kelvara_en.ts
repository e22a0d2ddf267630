<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>kelvara::TForm1</name>
    <message>
        <source>単音入力式(&amp;8)</source>
        <translation>Single notes (&amp;8)</translation>
    </message>
    <message>
        <source>和音入力式(&amp;9)</source>
        <translation>Chords (&amp;9)</translation>
    </message>
    <message>
        <source>挿入</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>重ね書き</source>
        <translation>Overlay</translation>
    </message>
    <message>
        <source>入力単位</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>仮想キーボード</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>※これらの音色はパーカッションパート入力時に使用できます。</source>
        <translation>* These sounds can be entered in the percussion part.</translation>
    </message>
    <message>
        <source>入力</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>パーカッション</source>
        <translation>Percussion</translation>
    </message>
    <message>
        <source> 作業パート </source>
        <translation> Working part </translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>読込</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>上書</source>
        <translation>Resave</translation>
    </message>
    <message>
        <source>新規</source>
        <translation>New</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>試聴</source>
        <translation>Listen</translation>
    </message>
    <message>
        <source>MIDI音源</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>出力</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>Credit＆補助設定 </source>
        <translation>Credit, options </translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>切り取り(&amp;X)  Ctrl + X</source>
        <translation>Cu&amp;t  Ctrl + X</translation>
    </message>
    <message>
        <source>コピー(&amp;C)    Ctrl + C</source>
        <translation>&amp;Copy  Ctrl + C</translation>
    </message>
    <message>
        <source>貼り付け(&amp;V) Ctrl + V</source>
        <translation>&amp;Paste  Ctrl + V</translation>
    </message>
    <message>
        <source>削除(&amp;D)      DEL</source>
        <translation>&amp;Delete  Del</translation>
    </message>
    <message>
        <source>連符(&amp;B)</source>
        <translation>Tuplet (&amp;B)</translation>
    </message>
    <message>
        <source>全音符</source>
        <translation>Whole note</translation>
    </message>
    <message>
        <source>2分音符</source>
        <translation>Half note</translation>
    </message>
    <message>
        <source>4分音符</source>
        <translation>Quarter note</translation>
    </message>
    <message>
        <source>8分音符</source>
        <translation>Eighth note</translation>
    </message>
    <message>
        <source>16分音符</source>
        <translation>16th note</translation>
    </message>
    <message>
        <source>解除</source>
        <translation>Release</translation>
    </message>
    <message>
        <source>修飾(&amp;N)</source>
        <translation>Modifiers (&amp;N)</translation>
    </message>
    <message>
        <source>長さ調整</source>
        <translation>Length adjustment</translation>
    </message>
    <message>
        <source>強弱調整</source>
        <translation>Velocity ramp</translation>
    </message>
    <message>
        <source>余韻調整</source>
        <translation>Pitch tail</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)  Ctrl + Z</source>
        <translation>&amp;Undo  Ctrl + Z</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)  Ctrl + Y</source>
        <translation>&amp;Redo  Ctrl + Y</translation>
    </message>
    <message>
        <source>メモリが足りないため、このページを描けません。</source>
        <translation>There is not enough memory to draw this page.</translation>
    </message>
    <message>
        <source>キ－</source>
        <comment>the octave label: [↓キ－] ← 4 → [↑キ－]</comment>
        <translation>key</translation>
    </message>
    <message>
        <source>%1パート</source>
        <translation>Part %1</translation>
    </message>
    <message>
        <source>表示言語を保存できません。</source>
        <translation>The interface language cannot be kept.</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm5</name>
    <message>
        <source>補助設定</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>カーソルを点滅させる</source>
        <translation>Blink the cursor</translation>
    </message>
    <message>
        <source>↑↓キー入力時に動作</source>
        <translation>Act on the ↑ ↓ keys</translation>
    </message>
    <message>
        <source>表示言語 (Language)</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>次回の起動から切り替わります。</source>
        <translation>Takes effect at the next start.</translation>
    </message>
</context>
</TS>
