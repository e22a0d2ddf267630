<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>kelvara::Editor</name>
    <message>
        <source>設定を保存できませんでした。%1</source>
        <translation>The settings could not be saved. %1</translation>
    </message>
    <message>
        <source>ファイル %1 を書くためのメモリが足りません。</source>
        <translation>There is not enough memory to write the file %1.</translation>
    </message>
    <message>
        <source>この形式のファイルには楽譜全体は残りません。変更はまだ保存されていません。</source>
        <translation>A file of this kind does not keep the whole score. The changes are not saved yet.</translation>
    </message>
    <message>
        <source>ファイルは %1 という名で保存されます。</source>
        <translation>The file will be saved as %1.</translation>
    </message>
    <message>
        <source>Zqファイルは1パートしか保存できません。</source>
        <translation>A zq file holds only one part.</translation>
    </message>
    <message>
        <source>どのパートを保存しますか？</source>
        <translation>Which part do you want to save?</translation>
    </message>
    <message>
        <source>既存のファイルが存在します．上書きしますか?</source>
        <translation>The file already exists. Replace it?</translation>
    </message>
    <message>
        <source>%1 を上書きします。よろしいですね?</source>
        <translation>Overwrite %1?</translation>
    </message>
    <message>
        <source>現在のデータには保存されていない変更があります。保存しますか？</source>
        <translation>The current score has unsaved changes. Save them?</translation>
    </message>
    <message>
        <source>「%1」には保存されていない変更があります。保存しますか？</source>
        <translation>&quot;%1&quot; has unsaved changes. Save them?</translation>
    </message>
    <message>
        <source>Zqファイルは1パートしかありません。</source>
        <translation>A zq file holds only one part.</translation>
    </message>
    <message>
        <source>どのパートに読み込みますか？</source>
        <translation>Which part do you want to load it into?</translation>
    </message>
    <message>
        <source>ファイル %1 を読み込むためのメモリが足りません。</source>
        <translation>There is not enough memory to load the file %1.</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>現在のデータを破棄します</source>
        <translation>The current score will be discarded.</translation>
    </message>
    <message>
        <source>%1。MIDI入力は「なし」で起動します。</source>
        <translation>%1. Starting with MIDI input set to &quot;None&quot;.</translation>
    </message>
    <message>
        <source>MIDI入力の設定ファイル %1 を読めないため、MIDI入力は「なし」で起動します。</source>
        <translation>The MIDI input settings file %1 cannot be read; starting with MIDI input set to &quot;None&quot;.</translation>
    </message>
    <message>
        <source>%1。楽譜は標準的な記譜を使わずに表示します。</source>
        <translation>%1. Showing the score without standard notation.</translation>
    </message>
    <message>
        <source>記譜の設定ファイル %1 を読めないため、楽譜は標準的な記譜を使わずに表示します。</source>
        <translation>The notation settings file %1 cannot be read; showing the score without standard notation.</translation>
    </message>
    <message>
        <source>復元用のコピーを保存できません（%1）。このままでは、異常終了したときに保存していない変更が失われます。</source>
        <translation>Recovery copies cannot be saved (%1). If the program ends abnormally now, unsaved changes will be lost.</translation>
    </message>
    <message>
        <source>復元用のコピーをまた保存できるようになりました。</source>
        <translation>Recovery copies can be saved again.</translation>
    </message>
    <message>
        <source>メモリが足りません</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>フォルダ %1 を作成できません（%2）</source>
        <translation>Cannot create the folder %1 (%2)</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません</source>
        <translation>Cannot create the file %1</translation>
    </message>
    <message>
        <source>設定ファイルの内容に読めない値があったため、その値は既定値にしました。</source>
        <translation>Some values in the settings file could not be read and were set to their defaults.</translation>
    </message>
    <message>
        <source>設定ファイル %1 が見つからないため、既定の設定で起動します。</source>
        <translation>The settings file %1 was not found; starting with the default settings.</translation>
    </message>
    <message>
        <source>%1。既定の設定で起動します。</source>
        <translation>%1. Starting with the default settings.</translation>
    </message>
    <message>
        <source>設定ファイル %1: %2</source>
        <translation>Settings file %1: %2</translation>
    </message>
    <message>
        <source>フォルダ %1 はほかの利用者のものなので使えません</source>
        <translation>The folder %1 belongs to another user and cannot be used</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は整数ではありません</source>
        <translation>&apos;%1&apos; is not a whole number</translation>
    </message>
    <message>
        <source>テンポ %1 は使えません。%2 から %3 までの整数を入れてください。</source>
        <translation>The tempo %1 cannot be used. Enter a whole number from %2 to %3.</translation>
    </message>
    <message>
        <source>拍子を %1/%2 にすると、%5%3 の %4 小節目からの音符（休符）が楽譜ファイルに保存できない幅になります。先にその音符を短くしてください。</source>
        <translation>With a time signature of %1/%2, the note (or rest) of %3 from bar %4 would become too wide to save in a score file. Shorten that note first.</translation>
    </message>
</context>
<context>
    <name>kelvara::Input</name>
    <message>
        <source>連符にできるのは %1 個までです。選択範囲を短くしてください。</source>
        <translation>A tuplet can hold at most %1 notes. Select fewer notes.</translation>
    </message>
</context>
<context>
    <name>kelvara::OutputCommands</name>
    <message>
        <source>出力しています…</source>
        <translation>Writing…</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>出力</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>出力しています… %1 / %2 ページ</source>
        <translation>Writing… page %1 of %2</translation>
    </message>
    <message>
        <source>出力を中止しました。%1 ページは出力済みです。</source>
        <translation>Output stopped. %1 page(s) were already written.</translation>
    </message>
    <message>
        <source>出力するページがありません。パートと範囲を確かめてください。</source>
        <translation>There are no pages to output. Check the parts and the range.</translation>
    </message>
</context>
<context>
    <name>kelvara::OutputFileDialogs</name>
    <message>
        <source>JPEG イメージファイル (*.jpg *.jpeg)</source>
        <translation>JPEG pictures (*.jpg *.jpeg)</translation>
    </message>
    <message>
        <source>ビットマップ (*.bmp)</source>
        <translation>Bitmaps (*.bmp)</translation>
    </message>
    <message>
        <source>画像を保存</source>
        <translation>Save pictures</translation>
    </message>
    <message>
        <source>PNG イメージファイル (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
</context>
<context>
    <name>kelvara::PartNames</name>
    <message>
        <source>パーカッション</source>
        <translation>Percussion</translation>
    </message>
    <message>
        <source>%1パート</source>
        <translation>Part %1</translation>
    </message>
</context>
<context>
    <name>kelvara::Print</name>
    <message>
        <source>小節数/段は 1 から %1 までの整数で入力してください。</source>
        <translation>Enter the bars per line as a whole number from 1 to %1.</translation>
    </message>
    <message>
        <source>段数/ページは 1 から %1 までの整数で入力してください。</source>
        <translation>Enter the lines per page as a whole number from 1 to %1.</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません（%2）</source>
        <translation>Cannot create the file %1 (%2)</translation>
    </message>
    <message>
        <source>PDF を作れません</source>
        <translation>cannot make the PDF</translation>
    </message>
    <message>
        <source>PDF のページを作れません</source>
        <translation>cannot make a PDF page</translation>
    </message>
    <message>
        <source>メモリが足りません</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>PDF を完成できません</source>
        <translation>cannot finish the PDF</translation>
    </message>
    <message>
        <source>ビットマップに変換できません。</source>
        <translation>Cannot convert to a bitmap.</translation>
    </message>
    <message>
        <source>PNG に変換できません。</source>
        <translation>Cannot convert to PNG.</translation>
    </message>
    <message>
        <source>メモリが足りないため絵を作れません。</source>
        <translation>There is not enough memory to make the picture.</translation>
    </message>
    <message>
        <source>絵 %1 を描けません。</source>
        <translation>Cannot draw the picture %1.</translation>
    </message>
    <message>
        <source>ファイル %1 に印刷できません。</source>
        <translation>Cannot print to the file %1.</translation>
    </message>
    <message>
        <source>プリンタ %1 に印刷できません。</source>
        <translation>Cannot print on the printer %1.</translation>
    </message>
    <message>
        <source>メモリが足りないため出力できません。</source>
        <translation>There is not enough memory for the output.</translation>
    </message>
</context>
<context>
    <name>kelvara::ScoreCommands</name>
    <message>
        <source>midiファイル (*.mid *.smf)</source>
        <translation>MIDI file (*.mid *.smf)</translation>
    </message>
    <message>
        <source>zq3ファイル (*.zqf3)</source>
        <translation>zq3 file (*.zqf3)</translation>
    </message>
    <message>
        <source>zq2ファイル (*.zqf2)</source>
        <translation>zq2 file (*.zqf2)</translation>
    </message>
    <message>
        <source>zqファイル (*.zqf)</source>
        <translation>zq file (*.zqf)</translation>
    </message>
    <message>
        <source>WAVファイル (*.wav)</source>
        <translation>WAV file (*.wav)</translation>
    </message>
    <message>
        <source>MusicXMLファイル (*.musicxml *.mxl *.xml)</source>
        <translation>MusicXML file (*.musicxml *.mxl *.xml)</translation>
    </message>
    <message>
        <source>zqファイル（*.zqf3）</source>
        <translation>zq file (*.zqf3)</translation>
    </message>
    <message>
        <source>zqファイル（*.zqf2）</source>
        <translation>zq file (*.zqf2)</translation>
    </message>
    <message>
        <source>すべてのファイル (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>（名前のない楽譜）</source>
        <translation>(untitled score)</translation>
    </message>
    <message>
        <source>復元</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>前回は保存されていない変更を残したまま終了しました。
%1 （%2 の時点）を復元しますか？</source>
        <translation>The last run ended with unsaved changes.
Restore %1 (as of %2)?</translation>
    </message>
    <message>
        <source>破棄</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>保存する</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存しない</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kelvara::Sound</name>
    <message>
        <source>メモリが足りないため音色ファイル「%1」を読み込めず、内蔵シンセサイザーの音は鳴りません。楽譜の編集はそのまま続けられます。</source>
        <translation>There is not enough memory to load the soundfont &quot;%1&quot;, so the built-in synthesizer is silent. You can go on editing the score.</translation>
    </message>
    <message>
        <source>指定された音色ファイル「%1」を読み込めず、ほかの音色ファイルも見つからないため、内蔵シンセサイザーの音は鳴りません。</source>
        <translation>The chosen soundfont &quot;%1&quot; cannot be loaded and no other soundfont was found, so the built-in synthesizer is silent.</translation>
    </message>
    <message>
        <source>指定された音色ファイル「%1」を読み込めないため、代わりに「%2」を使います。</source>
        <translation>The chosen soundfont &quot;%1&quot; cannot be loaded; &quot;%2&quot; is used instead.</translation>
    </message>
    <message>
        <source>内蔵シンセサイザーの音色ファイル (SoundFont) が見つからないため、音は鳴りません。fluid-soundfont-gm を入れるか、--soundfont または環境変数 KELVARA_SOUNDFONT で音色ファイルを指定してください。楽譜の編集はそのまま続けられます。</source>
        <translation>No soundfont was found for the built-in synthesizer, so it is silent. Install fluid-soundfont-gm, or name a soundfont with --soundfont or the environment variable KELVARA_SOUNDFONT. You can go on editing the score.</translation>
    </message>
    <message>
        <source>内蔵シンセサイザーを起動できないため、音は鳴りません。</source>
        <translation>The built-in synthesizer cannot start, so it is silent.</translation>
    </message>
    <message>
        <source>音声出力装置を開けないため、内蔵シンセサイザーの音は鳴りません。楽譜の編集はそのまま続けられます。</source>
        <translation>The audio output device cannot be opened, so the built-in synthesizer is silent. You can go on editing the score.</translation>
    </message>
    <message>
        <source>MIDI入力ポートがありません</source>
        <translation>there is no MIDI input port</translation>
    </message>
    <message>
        <source>MIDI入力ポート「%1」が見つからないため、MIDI入力は「なし」にしました。</source>
        <translation>The MIDI input port &quot;%1&quot; was not found; MIDI input is set to &quot;None&quot;.</translation>
    </message>
    <message>
        <source>MIDI入力ポート「%1」はMIDI出力にも選ばれているため、入力には使えません（送った音が入力へ戻り続けます）。MIDI入力は「なし」にしました。</source>
        <translation>The MIDI input port &quot;%1&quot; is also chosen as the MIDI output, so it cannot be used for input (what is sent would keep coming back). MIDI input is set to &quot;None&quot;.</translation>
    </message>
    <message>
        <source>開けません</source>
        <translation>cannot be opened</translation>
    </message>
    <message>
        <source>MIDI入力ポート「%1」を開けません（%2）。MIDI入力は「なし」にしました。</source>
        <translation>The MIDI input port &quot;%1&quot; cannot be opened (%2). MIDI input is set to &quot;None&quot;.</translation>
    </message>
    <message>
        <source>MIDI入力ポート「%1」が見つからなくなったため、MIDI入力は「なし」にしました。</source>
        <translation>The MIDI input port &quot;%1&quot; has disappeared; MIDI input is set to &quot;None&quot;.</translation>
    </message>
    <message>
        <source>接続できません</source>
        <translation>cannot connect</translation>
    </message>
    <message>
        <source>MIDI出力ポート「%1」を開けません（%2）。このポートへ送る音は鳴りません。</source>
        <translation>The MIDI output port &quot;%1&quot; cannot be opened (%2). Nothing sent to this port will sound.</translation>
    </message>
    <message>
        <source>MIDI出力ポート「%1」へ送れないメッセージがありました。</source>
        <translation>Some messages could not be sent to the MIDI output port &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>MIDI出力ポート「%1」が見つからなくなりました。以後このポートへは音を送りません。「MIDI音源」で出力先を選び直してください。</source>
        <translation>The MIDI output port &quot;%1&quot; has disappeared; nothing more is sent to it. Choose another output under &quot;Sound&quot;.</translation>
    </message>
    <message>
        <source>MIDIシーケンサーがありません</source>
        <translation>there is no MIDI sequencer</translation>
    </message>
    <message>
        <source>MIDIシーケンサーに接続できません</source>
        <translation>cannot connect to the MIDI sequencer</translation>
    </message>
    <message>
        <source>ポートが見つかりません</source>
        <translation>the port was not found</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は整数ではありません</source>
        <translation>&apos;%1&apos; is not a whole number</translation>
    </message>
    <message>
        <source>小節の番号は 1 以上で指定してください。</source>
        <translation>Bar numbers start at 1.</translation>
    </message>
    <message>
        <source>始めの小節 (%1) が終わりの小節 (%2) より後ろにあります。範囲を指定し直してください。</source>
        <translation>The first bar (%1) comes after the last bar (%2). Choose the range again.</translation>
    </message>
    <message>
        <source>%1の音量 &apos;%2&apos; は整数ではありません</source>
        <translation>The volume of %1, &apos;%2&apos;, is not a whole number</translation>
    </message>
    <message>
        <source>%1の音量 &apos;%2&apos; は 0〜127 の範囲外です</source>
        <translation>The volume of %1, &apos;%2&apos;, is outside 0 to 127</translation>
    </message>
</context>
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
        <source>表示言語を保存できません。</source>
        <translation>The interface language cannot be kept.</translation>
    </message>
    <message>
        <source>MIDI入力が多すぎたため、一部の音を受け取れませんでした。</source>
        <translation>Too much MIDI input arrived at once; some notes were not received.</translation>
    </message>
    <message>
        <source>復元用のコピーを保存できません（%1）。異常終了したときに、保存していない変更は失われます。</source>
        <translation>Recovery copies cannot be saved (%1). If the program ends abnormally, unsaved changes will be lost.</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>終了します。よろしいですか？</source>
        <translation>Quit Kelvara?</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm10</name>
    <message>
        <source>強弱調整</source>
        <translation>Velocity ramp</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm11</name>
    <message>
        <source>全音符の</source>
        <translation>After</translation>
    </message>
    <message>
        <source>分だけ後から．．．</source>
        <translation>of a whole note...</translation>
    </message>
    <message>
        <source>余韻調整</source>
        <translation>Pitch tail</translation>
    </message>
    <message>
        <source>一定</source>
        <translation>Steady</translation>
    </message>
    <message>
        <source>シフト</source>
        <translation>Shift</translation>
    </message>
    <message>
        <source>シフト量</source>
        <translation>Shift by</translation>
    </message>
    <message>
        <source>音</source>
        <translation>tones</translation>
    </message>
    <message>
        <source>上げる</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下げる</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>振動</source>
        <translation>Vibrato</translation>
    </message>
    <message>
        <source>振幅</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source> 周期 </source>
        <translation> Period </translation>
    </message>
    <message>
        <source>※シフト量、振幅は 6音まで</source>
        <translation>* Shift and depth: up to 6 tones</translation>
    </message>
    <message>
        <source>（全音は １、半音は 0.5）</source>
        <translation>(a whole tone is 1, a semitone 0.5)</translation>
    </message>
    <message>
        <source>※周期は 4で 16分音符分</source>
        <translation>* A period of 4 lasts a 16th note,</translation>
    </message>
    <message>
        <source>2で 32分音符分</source>
        <translation>2 a 32nd note,</translation>
    </message>
    <message>
        <source>8で 8分音符分</source>
        <translation>8 an eighth note</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm12</name>
    <message>
        <source>出力準備2</source>
        <translation>Output: layout</translation>
    </message>
    <message>
        <source>パートごとに印刷します</source>
        <translation>Each part is printed on pages of its own</translation>
    </message>
    <message>
        <source>小節数/段 ：</source>
        <translation>Bars per staff line:</translation>
    </message>
    <message>
        <source>段数/ページ：</source>
        <translation>Staff lines per page:</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>画像</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm13</name>
    <message>
        <source>出力準備1</source>
        <translation>Output: parts</translation>
    </message>
    <message>
        <source> 出力するパートをチェック </source>
        <translation> Parts to output </translation>
    </message>
    <message>
        <source> 出力範囲 </source>
        <translation> Bars to output </translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <source>一部</source>
        <translation>Some</translation>
    </message>
    <message>
        <source>小節目から</source>
        <translation>from bar</translation>
    </message>
    <message>
        <source>小節目まで</source>
        <translation>to bar</translation>
    </message>
    <message>
        <source>最初の小節は 1 以上の整数で入力してください。</source>
        <translation>Enter the first bar as a whole number of 1 or more.</translation>
    </message>
    <message>
        <source>最後の小節は 1 以上の整数で入力してください。</source>
        <translation>Enter the last bar as a whole number of 1 or more.</translation>
    </message>
    <message>
        <source>最後の小節は最初の小節と同じか、それより後にしてください。</source>
        <translation>The last bar must be the first bar or a later one.</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm2</name>
    <message>
        <source>MIDI音源</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>使用するMIDI音源</source>
        <translation>MIDI output device</translation>
    </message>
    <message>
        <source>MIDI入力</source>
        <translation>MIDI input</translation>
    </message>
    <message>
        <source> 音色と音量 </source>
        <translation> Voices and volumes </translation>
    </message>
    <message>
        <source>音色</source>
        <translation>Voice</translation>
    </message>
    <message>
        <source>音量 (0-127)</source>
        <translation>Volume (0-127)</translation>
    </message>
    <message>
        <source>左←       配置       →右</source>
        <translation>Left ←       Pan       → Right</translation>
    </message>
    <message>
        <source>－</source>
        <translation>-</translation>
    </message>
    <message>
        <source>（MIDI出力装置がありません）</source>
        <translation>(no MIDI output device)</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm3</name>
    <message>
        <source>設定</source>
        <translation>Score settings</translation>
    </message>
    <message>
        <source>調号</source>
        <translation>Key signature</translation>
    </message>
    <message>
        <source>拍子記号</source>
        <translation>Time signature</translation>
    </message>
    <message>
        <source>テンポ</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <source>キ－配列</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>長調</source>
        <translation>Major</translation>
    </message>
    <message>
        <source>短調</source>
        <translation>Minor</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm4</name>
    <message>
        <source>試聴</source>
        <translation>Listen</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>前の小節へ</source>
        <translation>Back one bar</translation>
    </message>
    <message>
        <source>次の小節へ</source>
        <translation>On one bar</translation>
    </message>
    <message>
        <source>選んだパートと範囲には音符がありません。</source>
        <translation>The chosen parts and bars hold no notes.</translation>
    </message>
    <message>
        <source>小節 %1 / %2</source>
        <translation>Bar %1 / %2</translation>
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
        <source>標準的な記譜で表示</source>
        <translation>Show standard notation</translation>
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
<context>
    <name>kelvara::TForm6</name>
    <message>
        <source>試聴－準備</source>
        <translation>Listen: parts and bars</translation>
    </message>
    <message>
        <source> 試聴するパートをチェック </source>
        <translation> Parts to hear </translation>
    </message>
    <message>
        <source> 試聴範囲 </source>
        <translation> Bars to hear </translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <source>一部</source>
        <translation>Some</translation>
    </message>
    <message>
        <source>小節目から</source>
        <translation>from bar</translation>
    </message>
    <message>
        <source>小節目まで</source>
        <translation>to bar</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm7</name>
    <message>
        <source>保存－準備</source>
        <translation>Save - Parts</translation>
    </message>
    <message>
        <source> 保存するパートをチェック </source>
        <translation> Check the parts to save </translation>
    </message>
</context>
<context>
    <name>kelvara::TForm8</name>
    <message>
        <source>保存－選択</source>
        <translation>Save - Choose a Part</translation>
    </message>
</context>
<context>
    <name>kelvara::TForm9</name>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>長さ調整</source>
        <translation>Length adjustment</translation>
    </message>
    <message>
        <source>全音符の</source>
        <translation>By</translation>
    </message>
    <message>
        <source>分だけ</source>
        <translation>of a whole note</translation>
    </message>
    <message>
        <source>長く</source>
        <translation>Longer</translation>
    </message>
    <message>
        <source>短く</source>
        <translation>Shorter</translation>
    </message>
</context>
</TS>
