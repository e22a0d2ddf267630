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
    <message>
        <source>ファイル %1 を作成できません（%2 はフォルダではありません）</source>
        <translation>Cannot create the file %1 (%2 is not a folder)</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません（フォルダ %2 を作れません: %3）</source>
        <translation>Cannot create the file %1 (cannot create the folder %2: %3)</translation>
    </message>
</context>
<context>
    <name>kelvara::Files</name>
    <message>
        <source>ファイル %1 を作成できません（%2）</source>
        <translation>Cannot create the file %1 (%2)</translation>
    </message>
    <message>
        <source>シンボリックリンクが循環しています</source>
        <translation>the symbolic links form a loop</translation>
    </message>
    <message>
        <source>ファイル名がありません</source>
        <translation>there is no file name</translation>
    </message>
    <message>
        <source>同名のフォルダがあります</source>
        <translation>a folder has that name</translation>
    </message>
    <message>
        <source>通常のファイルではありません</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>読み取り専用のファイルです</source>
        <translation>the file is read-only</translation>
    </message>
    <message>
        <source>フォルダ %1 がありません</source>
        <translation>the folder %1 does not exist</translation>
    </message>
    <message>
        <source>ファイル %1 は開けません（%2）</source>
        <translation>Cannot open the file %1 (%2)</translation>
    </message>
    <message>
        <source>フォルダです</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>大きさ %1 バイトが上限の %2 バイトを超えています</source>
        <translation>its size of %1 bytes is over the limit of %2 bytes</translation>
    </message>
    <message>
        <source>ファイル %1 は開けません（読み込み中に大きくなりました）</source>
        <translation>Cannot open the file %1 (it grew while it was read)</translation>
    </message>
    <message>
        <source>ファイル %1 を読み込めません（%2）</source>
        <translation>Cannot read the file %1 (%2)</translation>
    </message>
    <message>
        <source>ファイル %1 は開けません（メモリが足りません）</source>
        <translation>Cannot open the file %1 (not enough memory)</translation>
    </message>
    <message>
        <source>バイト %1 の時間値が 4 バイトを超えています</source>
        <translation>the time value at byte %1 is longer than 4 bytes</translation>
    </message>
    <message>
        <source>バイト %1 に%2がありません</source>
        <translation>no %2 at byte %1</translation>
    </message>
    <message>
        <source>ストリームからの読み込みエラー（ファイルは %1 バイトで終わっています）</source>
        <translation>Stream read error (the file ends at byte %1)</translation>
    </message>
    <message>
        <source>・拍子 %1 は扱えないため %2 にしました</source>
        <translation>• The time signature %1 cannot be used; %2 is used instead</translation>
    </message>
    <message>
        <source>・弱起の小節の前を %1（64 分音符単位）の休符で補いました</source>
        <translation>• The pickup bar was filled out with a rest before it (%1 in 64ths)</translation>
    </message>
    <message>
        <source>・テンポが範囲外のため 65535 にしました</source>
        <translation>• The tempo was out of range and was set to 65535</translation>
    </message>
    <message>
        <source>・%1 個の音符の始まりか終わりを 64 分音符か連符の位置に丸めました</source>
        <translation>• Notes whose start or end was rounded to a 64th or a tuplet position: %1</translation>
    </message>
    <message>
        <source>・%1 個の 64 分音符より短い音符を 64 分音符にしました</source>
        <translation>• Notes shorter than a 64th, made a 64th long: %1</translation>
    </message>
    <message>
        <source>・%1 個の音符を次の音符か連符の区切りまでの長さに縮めました</source>
        <translation>• Notes shortened to end at the next note or tuplet boundary: %1</translation>
    </message>
    <message>
        <source>・%1 個の長すぎる音符を 65535（64 分音符単位）に縮めました</source>
        <translation>• Notes too long, shortened to 65535 64ths: %1</translation>
    </message>
    <message>
        <source>・%1 個の同じ時刻・同じ高さの音符を一つにまとめました</source>
        <translation>• Notes at the same time and pitch, merged into one: %1</translation>
    </message>
    <message>
        <source>・%1 個の音を、和音が 10 音を超えるため省きました</source>
        <translation>• Pitches left out because a chord holds at most 10: %1</translation>
    </message>
    <message>
        <source>・声部が 10 を超えるため、%1 個の声部（%2 音）を音域の近いパートの和音にまとめました</source>
        <translation>• Voices beyond 10, merged into the chords of the part nearest in range: %1 (with %2 notes)</translation>
    </message>
    <message>
        <source>・%1 個の途中のテンポ変更を無視しました（最初のテンポを使います）</source>
        <translation>• Later tempo changes ignored (the first tempo is used): %1</translation>
    </message>
    <message>
        <source>・%1 個の途中の拍子変更を無視しました（最初の拍子を使います）</source>
        <translation>• Later time signature changes ignored (the first time signature is used): %1</translation>
    </message>
    <message>
        <source>・%1 個の途中の調号変更を無視しました（最初の調号を使います）</source>
        <translation>• Later key signature changes ignored (the first key signature is used): %1</translation>
    </message>
    <message>
        <source>・%1 個の範囲外の調号を無視しました</source>
        <translation>• Key signatures out of range, ignored: %1</translation>
    </message>
    <message>
        <source>・%1 個の途中の音色変更を無視しました（最初の音色を使います）</source>
        <translation>• Later instrument changes ignored (the first instrument is used): %1</translation>
    </message>
    <message>
        <source>・%1 個のピッチベンドを読み込みませんでした</source>
        <translation>• Pitch bends not read: %1</translation>
    </message>
    <message>
        <source>・%1 個のコントロールチェンジ（音量・パン以外）を読み込みませんでした</source>
        <translation>• Control changes other than volume and pan, not read: %1</translation>
    </message>
    <message>
        <source>・%1 個のアフタータッチを読み込みませんでした</source>
        <translation>• Aftertouch messages not read: %1</translation>
    </message>
    <message>
        <source>・%1 個の終わりのない音符をトラックの終わりまでの長さにしました</source>
        <translation>• Notes without an end, lengthened to the end of their track: %1</translation>
    </message>
    <message>
        <source>・%1 個の対になる音符のない note-off を無視しました</source>
        <translation>• Note-offs without a matching note, ignored: %1</translation>
    </message>
    <message>
        <source>ファイル %1 を読み込みました。次の点は近似です:%2</source>
        <translation>The file %1 was loaded. These points are approximations:%2</translation>
    </message>
    <message>
        <source>拍子 %1/%2 は扱えません（4/4, 3/4, 2/4, 9/8, 6/8, 3/8, 2/2 のみ）</source>
        <translation>the time signature %1/%2 cannot be used (only 4/4, 3/4, 2/4, 9/8, 6/8, 3/8 and 2/2)</translation>
    </message>
    <message>
        <source>記録の数が上限の %1 を超えています</source>
        <translation>more records than the limit of %1</translation>
    </message>
    <message>
        <source>%4%1 の %2 小節目からの音符は長すぎて、楽譜ファイルに保存できない幅 (%3 ピクセル) になります</source>
        <translation>the note of %1 from bar %2 is too long: it would be too wide to save in a score file (%3 pixels)</translation>
    </message>
    <message>
        <source>%5%1 の %2 小節目からのページは幅が %3 ピクセルになり、上限の %4 ピクセルを超えます</source>
        <translation>the page of %1 from bar %2 would be %3 pixels wide, over the limit of %4 pixels</translation>
    </message>
    <message>
        <source>ファイル %1 を読み込めません: %2</source>
        <translation>Cannot read the file %1: %2</translation>
    </message>
    <message>
        <source>メモリが足りません</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません: %3%2 に MIDI ファイルで表せない長さの休符か音符があります</source>
        <translation>Cannot create the file %1: %2 has a rest or note too long for a MIDI file</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません: %4%2 までで MIDI データが上限の %3 バイトを超えます（ビブラートの細かい長い音符が多すぎます）</source>
        <translation>Cannot create the file %1: up to %2 the MIDI data is over the limit of %3 bytes (too many long notes with a fine vibrato)</translation>
    </message>
    <message>
        <source>バイト %1 に%2があります（Standard MIDI File として読めません）</source>
        <translation>%2 at byte %1 (it cannot be read as a Standard MIDI File)</translation>
    </message>
    <message>
        <source>MThd ヘッダ</source>
        <translation>MThd header</translation>
    </message>
    <message>
        <source>MThd ヘッダの長さ %1 が 6 より短くなっています</source>
        <translation>the MThd header length %1 is shorter than 6</translation>
    </message>
    <message>
        <source>フォーマット %1 の MIDI ファイルは読めません（0 と 1 のみ）</source>
        <translation>MIDI files of format %1 cannot be read (only 0 and 1)</translation>
    </message>
    <message>
        <source>SMPTE の分解能が 0 です</source>
        <translation>the SMPTE resolution is 0</translation>
    </message>
    <message>
        <source>分解能が 0 ティックです</source>
        <translation>the resolution is 0 ticks</translation>
    </message>
    <message>
        <source>バイト %1 のチャンクの長さ %2 がファイルの残りより長くなっています</source>
        <translation>the chunk at byte %1 is %2 bytes long, longer than the rest of the file</translation>
    </message>
    <message>
        <source>トラック（MTrk チャンク）がありません</source>
        <translation>there is no track (MTrk chunk)</translation>
    </message>
    <message>
        <source>音符の数が上限の %1 を超えています</source>
        <translation>more notes than the limit of %1</translation>
    </message>
    <message>
        <source>127 を超えるデータバイト</source>
        <translation>a data byte over 127</translation>
    </message>
    <message>
        <source>ステータスのないデータバイト</source>
        <translation>a data byte without a status</translation>
    </message>
    <message>
        <source>読めないステータスバイト %1</source>
        <translation>an unreadable status byte %1</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません: %2</source>
        <translation>Cannot create the file %1: %2</translation>
    </message>
    <message>
        <source>ファイル %1 を書くためのメモリが足りません。</source>
        <translation>There is not enough memory to write the file %1.</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません: 楽譜が長すぎて MusicXML では音符が %2 を超えます</source>
        <translation>Cannot create the file %1: the score is too long; in MusicXML it would have more than %2 notes</translation>
    </message>
    <message>
        <source>歌詞</source>
        <translation>lyrics</translation>
    </message>
    <message>
        <source>スラー</source>
        <translation>slurs</translation>
    </message>
    <message>
        <source>強弱記号</source>
        <translation>dynamics</translation>
    </message>
    <message>
        <source>繰り返し記号</source>
        <translation>repeat signs</translation>
    </message>
    <message>
        <source>装飾音符</source>
        <translation>grace notes</translation>
    </message>
    <message>
        <source>キュー音符</source>
        <translation>cue notes</translation>
    </message>
    <message>
        <source>途中の調号</source>
        <translation>later key signatures</translation>
    </message>
    <message>
        <source>途中の拍子</source>
        <translation>later time signatures</translation>
    </message>
    <message>
        <source>途中のテンポ</source>
        <translation>later tempos</translation>
    </message>
    <message>
        <source>結べなかったタイ</source>
        <translation>ties that could not be joined</translation>
    </message>
    <message>
        <source>11 音目からの和音</source>
        <translation>chord notes beyond the tenth</translation>
    </message>
    <message>
        <source>音域外の音</source>
        <translation>notes out of range</translation>
    </message>
    <message>
        <source>入りきらない声部</source>
        <translation>voices that did not fit</translation>
    </message>
    <message>
        <source>64分音符単位に丸めた長さ</source>
        <translation>lengths rounded to 64ths</translation>
    </message>
    <message>
        <source>近似した連符</source>
        <translation>approximated tuplets</translation>
    </message>
    <message>
        <source>行 %1、桁 %2: %3</source>
        <translation>line %1, column %2: %3</translation>
    </message>
    <message>
        <source>数値ではありません: &apos;%1&apos;</source>
        <translation>not a number: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>数値が大きすぎます: %1</source>
        <translation>number too large: %1</translation>
    </message>
    <message>
        <source>&lt;divisions&gt; より前に長さがあります</source>
        <translation>a duration comes before &lt;divisions&gt;</translation>
    </message>
    <message>
        <source>長さ %1 は扱えません</source>
        <translation>the duration %1 cannot be used</translation>
    </message>
    <message>
        <source>&lt;part&gt; の外に音楽があります</source>
        <translation>music outside a &lt;part&gt;</translation>
    </message>
    <message>
        <source>パートが多すぎます</source>
        <translation>too many parts</translation>
    </message>
    <message>
        <source>楽譜が長すぎます</source>
        <translation>the score is too long</translation>
    </message>
    <message>
        <source>要素が %1 を超えます</source>
        <translation>more than %1 elements</translation>
    </message>
    <message>
        <source>入れ子が深すぎます</source>
        <translation>elements nested too deeply</translation>
    </message>
    <message>
        <source>XML の誤り</source>
        <translation>XML error</translation>
    </message>
    <message>
        <source>MusicXML の楽譜ではありません</source>
        <translation>not a MusicXML score</translation>
    </message>
    <message>
        <source>MusicXML の楽譜ではありません（最初の要素が &lt;%1&gt;）</source>
        <translation>not a MusicXML score (the first element is &lt;%1&gt;)</translation>
    </message>
    <message>
        <source>&lt;divisions&gt; は正の数でなければなりません</source>
        <translation>&lt;divisions&gt; must be a positive number</translation>
    </message>
    <message>
        <source>&lt;note&gt; に &lt;duration&gt; がありません</source>
        <translation>a &lt;note&gt; without &lt;duration&gt;</translation>
    </message>
    <message>
        <source>音名 &apos;%1&apos; は読めません</source>
        <translation>cannot read the pitch name &apos;%1&apos;</translation>
    </message>
    <message>
        <source>声部が多すぎます</source>
        <translation>too many voices</translation>
    </message>
    <message>
        <source>長さ %1（64分音符単位）の音符は上限の %2 を超えます</source>
        <translation>a note %1 64ths long is over the limit of %2</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1、%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>拍子 %1/%2 は使えないため 4/4 で読み込みました。</source>
        <translation>The time signature %1/%2 cannot be used; the score was read in 4/4. </translation>
    </message>
    <message>
        <source>この楽譜で扱えないものを省きました: %1。</source>
        <translation>Left out what this score cannot hold: %1.</translation>
    </message>
    <message>
        <source>楽譜が入っていません</source>
        <translation>it holds no score</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません（メモリが足りません）</source>
        <translation>Cannot create the file %1 (not enough memory)</translation>
    </message>
    <message>
        <source>バイト %1 のデータバイトが 127 を超えています</source>
        <translation>the data byte at byte %1 is over 127</translation>
    </message>
    <message>
        <source>バイト %1 に%2があります（このプログラムのトラックファイルの形ではありません）</source>
        <translation>%2 at byte %1 (not laid out as this program&apos;s track files are)</translation>
    </message>
    <message>
        <source>プログラムチェンジ以外のイベント</source>
        <translation>an event other than a program change</translation>
    </message>
    <message>
        <source>チャンネル %1 はパートに対応しません（11 まで）</source>
        <translation>channel %1 has no part (channels go up to 11)</translation>
    </message>
    <message>
        <source>調号イベント</source>
        <translation>key signature event</translation>
    </message>
    <message>
        <source>調号 %1/%2 は範囲外です</source>
        <translation>the key signature %1/%2 is out of range</translation>
    </message>
    <message>
        <source>拍子イベント</source>
        <translation>time signature event</translation>
    </message>
    <message>
        <source>テンポイベント</source>
        <translation>tempo event</translation>
    </message>
    <message>
        <source>テンポが 0 マイクロ秒です</source>
        <translation>the tempo is 0 microseconds</translation>
    </message>
    <message>
        <source>音符の始まりのない note-off</source>
        <translation>a note-off without a note-on</translation>
    </message>
    <message>
        <source>コントロールチェンジ（MIDI 書き出しのファイル？）</source>
        <translation>a control change (a file from the MIDI export?)</translation>
    </message>
    <message>
        <source>予期しないイベント</source>
        <translation>an unexpected event</translation>
    </message>
    <message>
        <source>バイト %1 の和音は 10 音を超えています</source>
        <translation>the chord at byte %1 has more than 10 notes</translation>
    </message>
    <message>
        <source>バイト %1 の音符の長さ %2（64 分音符単位）が上限の %3 を超えています</source>
        <translation>the note at byte %1 is %2 64ths long, over the limit of %3</translation>
    </message>
    <message>
        <source>和音の途中で時間の進む note-off</source>
        <translation>a note-off that moves time inside a chord</translation>
    </message>
    <message>
        <source>和音の音と合わない note-off</source>
        <translation>a note-off that does not match the chord&apos;s pitches</translation>
    </message>
    <message>
        <source>トラック %1 の長さ %2 がイベントと合いません</source>
        <translation>the length %2 of track %1 does not match its events</translation>
    </message>
    <message>
        <source>MThd ヘッダの長さが 6 ではありません</source>
        <translation>the MThd header length is not 6</translation>
    </message>
    <message>
        <source>フォーマット 1 の MIDI ファイルではありません</source>
        <translation>not a format 1 MIDI file</translation>
    </message>
    <message>
        <source>分解能が 4 分音符 960 ティックではありません</source>
        <translation>the resolution is not 960 ticks per quarter note</translation>
    </message>
    <message>
        <source>トラック数 %1 が 11 を超えています</source>
        <translation>%1 tracks, more than 11</translation>
    </message>
    <message>
        <source>トラックがありません</source>
        <translation>there are no tracks</translation>
    </message>
    <message>
        <source>MTrk チャンク</source>
        <translation>MTrk chunk</translation>
    </message>
    <message>
        <source>チャンネル %1 のトラックが二つあります</source>
        <translation>two tracks for channel %1</translation>
    </message>
    <message>
        <source>最後のトラックの後に %1 バイトの余分なデータがあります</source>
        <translation>%1 bytes of extra data after the last track</translation>
    </message>
    <message>
        <source>ファイル %1 を読み込めません: パート %2 はありません</source>
        <translation>Cannot read the file %1: there is no part %2</translation>
    </message>
    <message>
        <source>ファイル %1 には 64 分音符の倍数でない長さがあったため、最も近い 64 分音符の倍数に丸めました</source>
        <translation>The file %1 had lengths that are not whole 64ths; they were rounded to the nearest 64th</translation>
    </message>
    <message>
        <source>%1 %2 は %3..%4 に収まりません</source>
        <translation>%1 %2 is outside %3..%4</translation>
    </message>
    <message>
        <source>調号 %1 は 0..14 の範囲外です</source>
        <translation>the key signature %1 is outside 0..14</translation>
    </message>
    <message>
        <source>パート数 %1 が 11 を超えています</source>
        <translation>%1 parts, more than 11</translation>
    </message>
    <message>
        <source>バイト %1 のパート番号 %2 は 0..10 の範囲外です</source>
        <translation>the part number %2 at byte %1 is outside 0..10</translation>
    </message>
    <message>
        <source>パート番号 %1 のブロックが二つあります</source>
        <translation>two blocks for part number %1</translation>
    </message>
    <message>
        <source>バイト %1 の記録の音高 %2 は音符でも休符でもありません</source>
        <translation>the pitch %2 of the record at byte %1 is neither a note nor a rest</translation>
    </message>
    <message>
        <source>バイト %1 の和音は 10 音を超えています（LastIndex %2）</source>
        <translation>the chord at byte %1 has more than 10 notes (LastIndex %2)</translation>
    </message>
    <message>
        <source>最後のパートの後に %1 バイトの余分なデータがあります</source>
        <translation>%1 bytes of extra data after the last part</translation>
    </message>
    <message>
        <source>%3%1 の %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%4%1 の %2 番目の記録の %3</source>
        <translation>%1, record %2: %3</translation>
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
    <name>kelvara::Render</name>
    <message>
        <source>メモリが足りないため、描画に使うスレッドを作れません。</source>
        <translation>There is not enough memory to start the drawing thread.</translation>
    </message>
    <message>
        <source>図形ファイル %1 を読めません（%2）。</source>
        <translation>Cannot read the outline file %1 (%2).</translation>
    </message>
    <message>
        <source>開けません</source>
        <translation>it cannot be opened</translation>
    </message>
    <message>
        <source>大きすぎます</source>
        <translation>it is too large</translation>
    </message>
    <message>
        <source>FreeType を使えません</source>
        <translation>FreeType cannot be used</translation>
    </message>
    <message>
        <source>%1 がありません</source>
        <translation>%1 is missing</translation>
    </message>
    <message>
        <source>絵のファイル %1 がフォルダ %2 にありません。</source>
        <translation>The picture file %1 is not in the folder %2.</translation>
    </message>
    <message>
        <source>絵のファイル %1（フォルダ %2）を読み込めません。</source>
        <translation>Cannot read the picture file %1 (folder %2).</translation>
    </message>
    <message>
        <source>絵のファイル %1 を開けません（%2）。</source>
        <translation>Cannot open the picture file %1 (%2).</translation>
    </message>
    <message>
        <source>JPEG ファイル %1 を読み込めません（%2）。</source>
        <translation>Cannot read the JPEG file %1 (%2).</translation>
    </message>
    <message>
        <source>JPEG に変換できません（%1）。</source>
        <translation>Cannot convert to JPEG (%1).</translation>
    </message>
    <message>
        <source>点が多すぎます</source>
        <translation>too many points</translation>
    </message>
    <message>
        <source>M で始まりません</source>
        <translation>does not start with M</translation>
    </message>
    <message>
        <source>段 %1 が読めません</source>
        <translation>step %1 cannot be read</translation>
    </message>
    <message>
        <source>段がありません</source>
        <translation>no steps</translation>
    </message>
    <message>
        <source>font TAG FILE ではありません</source>
        <translation>not font TAG FILE</translation>
    </message>
    <message>
        <source>絵の中のフォントです</source>
        <translation>a font inside a picture</translation>
    </message>
    <message>
        <source>フォント %1 が二度あります</source>
        <translation>font %1 appears twice</translation>
    </message>
    <message>
        <source>フォントが多すぎます</source>
        <translation>too many fonts</translation>
    </message>
    <message>
        <source>フォント %1 はフォルダの外です</source>
        <translation>font %1 is outside the folder</translation>
    </message>
    <message>
        <source>フォント %1 を読めません</source>
        <translation>cannot read font %1</translation>
    </message>
    <message>
        <source>picture NAME WIDTH HEIGHT ではありません</source>
        <translation>not picture NAME WIDTH HEIGHT</translation>
    </message>
    <message>
        <source>絵 %1 が end で終わっていません</source>
        <translation>picture %1 does not close with end</translation>
    </message>
    <message>
        <source>絵が多すぎます</source>
        <translation>too many pictures</translation>
    </message>
    <message>
        <source>絵 %1 が二度あります</source>
        <translation>picture %1 appears twice</translation>
    </message>
    <message>
        <source>end の後に文字があります</source>
        <translation>text after end</translation>
    </message>
    <message>
        <source>絵の外の end です</source>
        <translation>end outside a picture</translation>
    </message>
    <message>
        <source>知らない語 %1 です</source>
        <translation>unknown word %1</translation>
    </message>
    <message>
        <source>絵の外の図形です</source>
        <translation>a shape outside a picture</translation>
    </message>
    <message>
        <source>絵の図形が多すぎます</source>
        <translation>too many shapes in the picture</translation>
    </message>
    <message>
        <source>rect X0 Y0 X1 Y1 ではありません</source>
        <translation>not rect X0 Y0 X1 Y1</translation>
    </message>
    <message>
        <source>四角の角が逆です</source>
        <translation>the rectangle&apos;s corners are reversed</translation>
    </message>
    <message>
        <source>path の%1</source>
        <translation>path: %1</translation>
    </message>
    <message>
        <source>glyph FONT INDEX X Y SX SY ではありません</source>
        <translation>not glyph FONT INDEX X Y SX SY</translation>
    </message>
    <message>
        <source>字の大きさが正ではありません</source>
        <translation>the glyph&apos;s size is not positive</translation>
    </message>
    <message>
        <source>フォント %1 が先に名指されていません</source>
        <translation>font %1 is not named before it is used</translation>
    </message>
    <message>
        <source>フォントにない字です</source>
        <translation>the glyph is not in the font</translation>
    </message>
    <message>
        <source>字の形を読めません</source>
        <translation>cannot read the glyph&apos;s outline</translation>
    </message>
    <message>
        <source>%1 行目: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>%1 行目の絵 %2 が end で終わっていません</source>
        <translation>picture %2 on line %1 does not close with end</translation>
    </message>
    <message>
        <source>絵がありません。</source>
        <translation>The pictures are missing.</translation>
    </message>
    <message>
        <source>絵の倍率は 2 か 4 です。</source>
        <translation>The picture scale must be 2 or 4.</translation>
    </message>
</context>
<context>
    <name>kelvara::Score</name>
    <message>
        <source>長さ調整: 「全音符の … 分だけ」の値は「1/16」のように 分子/分母 で入力してください（分子は 0〜127、分母は 1〜255）。</source>
        <translation>Length adjustment: enter the amount of a whole note as numerator/denominator, like &quot;1/16&quot; (numerator 0 to 127, denominator 1 to 255).</translation>
    </message>
    <message>
        <source>強弱調整: 「→」の左の値は 0〜127 の整数で入力してください。</source>
        <translation>Velocity ramp: enter the value left of &quot;→&quot; as a whole number from 0 to 127.</translation>
    </message>
    <message>
        <source>強弱調整: 「→」の右の値は 0〜127 の整数で入力してください。</source>
        <translation>Velocity ramp: enter the value right of &quot;→&quot; as a whole number from 0 to 127.</translation>
    </message>
    <message>
        <source>余韻調整: シフトの開始位置は「1/16」のように 分子/分母 で入力してください（分子は 0〜255、分母は 1〜255）。</source>
        <translation>Pitch tail: enter where the shift starts as numerator/denominator, like &quot;1/16&quot; (numerator 0 to 255, denominator 1 to 255).</translation>
    </message>
    <message>
        <source>余韻調整: シフト量は 0〜6 の数で入力してください（全音は 1、半音は 0.5）。</source>
        <translation>Pitch tail: enter the shift as a number from 0 to 6 (a whole tone is 1, a semitone 0.5).</translation>
    </message>
    <message>
        <source>余韻調整: 振動の開始位置は「1/16」のように 分子/分母 で入力してください（分子は 0〜255、分母は 1〜255）。</source>
        <translation>Pitch tail: enter where the vibrato starts as numerator/denominator, like &quot;1/16&quot; (numerator 0 to 255, denominator 1 to 255).</translation>
    </message>
    <message>
        <source>余韻調整: 振幅は 0〜6 の数で入力してください（全音は 1、半音は 0.5）。</source>
        <translation>Pitch tail: enter the depth as a number from 0 to 6 (a whole tone is 1, a semitone 0.5).</translation>
    </message>
    <message>
        <source>余韻調整: 周期は 2〜255 の整数で入力してください（4 で 16分音符分）。</source>
        <translation>Pitch tail: enter the period as a whole number from 2 to 255 (4 lasts a 16th note).</translation>
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
    <message>
        <source>ファイル %1 を作成できません（%2）</source>
        <translation>Cannot create the file %1 (%2)</translation>
    </message>
    <message>
        <source>WAV ファイルに収まらない長さです</source>
        <translation>too long for a WAV file</translation>
    </message>
    <message>
        <source>曲が長すぎて音声にできません</source>
        <translation>the piece is too long to render as audio</translation>
    </message>
    <message>
        <source>音色ファイル %1 を読み込めません</source>
        <translation>cannot load the soundfont %1</translation>
    </message>
    <message>
        <source>音色ファイル %1 を読み込めません（メモリが足りないか、ファイルが壊れています）</source>
        <translation>cannot load the soundfont %1 (not enough memory, or the file is damaged)</translation>
    </message>
    <message>
        <source>音色ファイル (SoundFont) が見つかりません。--soundfont で指定してください</source>
        <translation>no soundfont was found; name one with --soundfont</translation>
    </message>
    <message>
        <source>内蔵シンセサイザーを開けません</source>
        <translation>cannot open the built-in synthesizer</translation>
    </message>
    <message>
        <source>音声の書き出しを中断しました</source>
        <translation>the audio export was stopped</translation>
    </message>
    <message>
        <source>内蔵シンセサイザー（音色なし）</source>
        <translation>Built-in synthesizer (no soundfont)</translation>
    </message>
    <message>
        <source>内蔵シンセサイザー (%1)</source>
        <translation>Built-in synthesizer (%1)</translation>
    </message>
    <message>
        <source>MIDI ファイル %1 を読めません: %2</source>
        <translation>Cannot read the MIDI file %1: %2</translation>
    </message>
    <message>
        <source>曲が長すぎます</source>
        <translation>the piece is too long</translation>
    </message>
    <message>
        <source>状態バイトのないデータがあります</source>
        <translation>data without a status byte</translation>
    </message>
    <message>
        <source>ファイルに置けないメッセージがあります</source>
        <translation>a message that cannot stand in a file</translation>
    </message>
    <message>
        <source>データバイトが壊れています</source>
        <translation>a damaged data byte</translation>
    </message>
    <message>
        <source>メッセージが多すぎます</source>
        <translation>too many messages</translation>
    </message>
    <message>
        <source>小節が多すぎます</source>
        <translation>too many bars</translation>
    </message>
    <message>
        <source>大きすぎます</source>
        <translation>too large</translation>
    </message>
    <message>
        <source>MIDI ファイルではありません</source>
        <translation>not a MIDI file</translation>
    </message>
    <message>
        <source>ヘッダーが壊れています</source>
        <translation>the header is damaged</translation>
    </message>
    <message>
        <source>形式 %1 には対応していません</source>
        <translation>format %1 is not supported</translation>
    </message>
    <message>
        <source>時間の単位 (SMPTE) には対応していません</source>
        <translation>SMPTE time units are not supported</translation>
    </message>
    <message>
        <source>トラックが多すぎます</source>
        <translation>too many tracks</translation>
    </message>
    <message>
        <source>トラックが足りません</source>
        <translation>tracks are missing</translation>
    </message>
    <message>
        <source>MIDI ファイル %1 を読むためのメモリが足りません</source>
        <translation>There is not enough memory to read the MIDI file %1</translation>
    </message>
    <message>
        <source>ファイル %1 を開けません</source>
        <translation>Cannot open the file %1</translation>
    </message>
    <message>
        <source>ファイル %1 を読めません</source>
        <translation>Cannot read the file %1</translation>
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
