<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="zh_CN">
<context>
    <name>CFormTemplate</name>
    <message>
        <source>新目录:</source>
        <translation>新目錄:</translation>
    </message>
    <message>
        <source>源文件目录+文件名的组合目录</source>
        <translation>原始檔目錄+檔名的組合目錄</translation>
    </message>
    <message>
        <source>源文件名+自动序号</source>
        <translation>原始檔名+自動序號</translation>
    </message>
    <message>
        <source>自定文件名+自动序号:</source>
        <translation>自定檔名+自動序號:</translation>
    </message>
    <message>
        <source>自动序号+章节名</source>
        <translation>自動序號+章節名</translation>
    </message>
    <message>
        <source>按章节:</source>
        <translation>按章節:</translation>
    </message>
    <message>
        <source>按大小:</source>
        <translation>按大小:</translation>
    </message>
    <message>
        <source>平均分配:</source>
        <translation>平均分配:</translation>
    </message>
    <message>
        <source>不分割行</source>
        <translation>不分割行</translation>
    </message>
    <message>
        <source>去掉多余空格</source>
        <translation>去掉多餘空格</translation>
    </message>
    <message>
        <source>文件首添加字符:</source>
        <translation>檔案首新增字元:</translation>
    </message>
    <message>
        <source>去广告</source>
        <translation>去廣告</translation>
    </message>
    <message>
        <source>文件尾添加字符:</source>
        <translation>檔案尾新增字元:</translation>
    </message>
    <message>
        <source>分割设置</source>
        <translation>分割設定</translation>
    </message>
    <message>
        <source>分割方式</source>
        <translation>分割方式</translation>
    </message>
    <message>
        <source>(</source>
        <translation>(</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>份</source>
        <translation>份</translation>
    </message>
    <message>
        <source>汉字以内。</source>
        <translation>漢字以內。</translation>
    </message>
    <message>
        <source>其它设置</source>
        <translation>其它設定</translation>
    </message>
    <message>
        <source>分割进度:</source>
        <translation>分割進度:</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>编码(&amp;E):</source>
        <translation>編碼(&amp;E):</translation>
    </message>
    <message>
        <source>输出编码(&amp;U):</source>
        <translation>輸出編碼(&amp;U):</translation>
    </message>
    <message>
        <source>保存目录(&amp;D):</source>
        <translation>儲存目錄(&amp;D):</translation>
    </message>
    <message>
        <source>文件名(&amp;N):</source>
        <translation>檔名(&amp;N):</translation>
    </message>
    <message>
        <source>章放入同一文件(&amp;C) )</source>
        <translation>章放入同一檔案(&amp;C) )</translation>
    </message>
    <message>
        <source>每个文件最大(&amp;M)</source>
        <translation>每個檔案最大(&amp;M)</translation>
    </message>
    <message>
        <source>平均分为(&amp;A)</source>
        <translation>平均分為(&amp;A)</translation>
    </message>
    <message>
        <source>章节标题大小(&amp;T)</source>
        <translation>章節標題大小(&amp;T)</translation>
    </message>
    <message>
        <source>源文件(&amp;F):</source>
        <translation>原始檔(&amp;F):</translation>
    </message>
    <message>
        <source>,替换?的自增符(&amp;I):</source>
        <translation>,替換?的自增符(&amp;I):</translation>
    </message>
    <message>
        <source>简繁转换(&amp;Z):</source>
        <translation>簡繁轉換(&amp;Z):</translation>
    </message>
    <message>
        <source>替换规则(&amp;G)…</source>
        <translation>替換規則(&amp;G)…</translation>
    </message>
</context>
<context>
    <name>CSplitWorker</name>
    <message>
        <source>分割出错：</source>
        <translation>分割出錯：</translation>
    </message>
    <message>
        <source>预览出错：</source>
        <translation>預覽出錯：</translation>
    </message>
    <message>
        <source>
共写出 %1 个文件，保存在：
%2</source>
        <translation>
共寫出 %1 個檔案，儲存在：
%2</translation>
    </message>
    <message>
        <source>

没有找到章节标题，全文都写进了一个文件。“预览章节”可以列出书中标题的样子和能找到它们的设置。</source>
        <translation>

沒有找到章節標題，全文都寫進了一個檔案。“預覽章節”可以列出書中標題的樣子和能找到它們的設定。</translation>
    </message>
    <message>
        <source>

章节编号：</source>
        <translation>

章節編號：</translation>
    </message>
    <message>
        <source>
……还有 %1 处</source>
        <translation>
……還有 %1 處</translation>
    </message>
    <message>
        <source>
已写出 %1 个文件，保存在：
%2</source>
        <translation>
已寫出 %1 個檔案，儲存在：
%2</translation>
    </message>
</context>
<context>
    <name>EngineMessage</name>
    <message>
        <source>文件或目录不存在</source>
        <translation>檔案或目錄不存在</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation>沒有許可權</translation>
    </message>
    <message>
        <source>文件系统是只读的</source>
        <translation>檔案系統是隻讀的</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>磁碟空間不足</translation>
    </message>
    <message>
        <source>超出了磁盘配额</source>
        <translation>超出了磁碟配額</translation>
    </message>
    <message>
        <source>文件已存在</source>
        <translation>檔案已存在</translation>
    </message>
    <message>
        <source>路径中有一项不是目录</source>
        <translation>路徑中有一項不是目錄</translation>
    </message>
    <message>
        <source>。</source>
        <comment>sentence end</comment>
        <translation>。</translation>
    </message>
    <message>
        <source>文件分割完成！</source>
        <comment>0</comment>
        <translation>檔案分割完成！</translation>
    </message>
    <message>
        <source>文件分割被终止！</source>
        <comment>1</comment>
        <translation>檔案分割被終止！</translation>
    </message>
    <message>
        <source>按章节分割时，关健字不能为空或空格</source>
        <comment>2</comment>
        <translation>按章節分割時，關健字不能為空或空格</translation>
    </message>
    <message>
        <source>平均分配的份数必须大于 0。</source>
        <comment>3</comment>
        <translation>平均分配的份數必須大於 0。</translation>
    </message>
    <message>
        <source>每个文件放入的章数必须大于 0。</source>
        <comment>4</comment>
        <translation>每個檔案放入的章數必須大於 0。</translation>
    </message>
    <message>
        <source>关键字最多只能有 10 个。</source>
        <comment>5</comment>
        <translation>關鍵字最多隻能有 10 個。</translation>
    </message>
    <message>
        <source>关键字中含有“?”时，必须选择替换?的自增符。</source>
        <comment>6</comment>
        <translation>關鍵字中含有“?”時，必須選擇替換?的自增符。</translation>
    </message>
    <message>
        <source>每个文件的最大大小必须大于 0。</source>
        <comment>7</comment>
        <translation>每個檔案的最大大小必須大於 0。</translation>
    </message>
    <message>
        <source>章节标题大小不能为负数。</source>
        <comment>8</comment>
        <translation>章節標題大小不能為負數。</translation>
    </message>
    <message>
        <source>请指定保存分割文件的新目录。</source>
        <comment>9</comment>
        <translation>請指定儲存分割檔案的新目錄。</translation>
    </message>
    <message>
        <source>源文件“%1”没有扩展名，无法在它旁边建立同名目录，请选择新目录。</source>
        <comment>10</comment>
        <translation>原始檔“%1”沒有副檔名，無法在它旁邊建立同名目錄，請選擇新目錄。</translation>
    </message>
    <message>
        <source>分割出的文件“%1”就是源文件本身，请更换保存目录或文件名。</source>
        <comment>11</comment>
        <translation>分割出的檔案“%1”就是原始檔本身，請更換儲存目錄或檔名。</translation>
    </message>
    <message>
        <source>无法打开源文件“%1”：%2</source>
        <comment>12</comment>
        <translation>無法開啟原始檔“%1”：%2</translation>
    </message>
    <message>
        <source>读取源文件“%1”时出错：%2</source>
        <comment>13</comment>
        <translation>讀取原始檔“%1”時出錯：%2</translation>
    </message>
    <message>
        <source>无法建立目录“%1”：%2</source>
        <comment>14</comment>
        <translation>無法建立目錄“%1”：%2</translation>
    </message>
    <message>
        <source>无法建立文件“%1”：%2</source>
        <comment>15</comment>
        <translation>無法建立檔案“%1”：%2</translation>
    </message>
    <message>
        <source>写入文件“%1”时出错：%2。这个文件不完整，在出错处被截断。</source>
        <comment>16</comment>
        <translation>寫入檔案“%1”時出錯：%2。這個檔案不完整，在出錯處被截斷。</translation>
    </message>
    <message>
        <source>文件名“%1”不能含有“/”，也不能是“.”或“..”。</source>
        <comment>17</comment>
        <translation>檔名“%1”不能含有“/”，也不能是“.”或“..”。</translation>
    </message>
    <message>
        <source>源文件“%1”不是普通文件：管道、设备和目录不能分割。</source>
        <comment>18</comment>
        <translation>原始檔“%1”不是普通檔案：管道、裝置和目錄不能分割。</translation>
    </message>
    <message>
        <source>“%1”是符号链接或特殊文件，分割不会写入它。请删除它或换一个保存目录。</source>
        <comment>19</comment>
        <translation>“%1”是符號連結或特殊檔案，分割不會寫入它。請刪除它或換一個儲存目錄。</translation>
    </message>
    <message>
        <source>分割出的文件“%1”会覆盖本次分割已写好的文件，分割已停止。</source>
        <comment>20</comment>
        <translation>分割出的檔案“%1”會覆蓋本次分割已寫好的檔案，分割已停止。</translation>
    </message>
    <message>
        <source>另一个分割正在向目录“%1”写入文件，请等它结束或换一个保存目录。</source>
        <comment>21</comment>
        <translation>另一個分割正在向目錄“%1”寫入檔案，請等它結束或換一個儲存目錄。</translation>
    </message>
    <message>
        <source>源文件“%1”和“%2”会写入同一个目录“%3”，两本书的文件会混在一起。请把其中一本改名或分开分割；这一批什么也没有写。</source>
        <comment>22</comment>
        <translation>原始檔“%1”和“%2”會寫入同一個目錄“%3”，兩本書的檔案會混在一起。請把其中一本改名或分開分割；這一批什麼也沒有寫。</translation>
    </message>
    <message>
        <source>源文件编码：%1</source>
        <comment>23</comment>
        <translation>原始檔編碼：%1</translation>
    </message>
    <message>
        <source>源文件含有 NUL 字节，像是没有字节顺序标记的 UTF-16 文本，编码无法自动识别。请指定编码：-e utf-16le 或 -e utf-16be（窗口中为编码 UTF-16LE 或 UTF-16BE）。</source>
        <comment>24</comment>
        <translation>原始檔含有 NUL 位元組，像是沒有位元組順序標記的 UTF-16 文字，編碼無法自動識別。請指定編碼：-e utf-16le 或 -e utf-16be（視窗中為編碼 UTF-16LE 或 UTF-16BE）。</translation>
    </message>
    <message>
        <source>源文件第 %1 字节起有不属于 %2 编码的字节，已原样保留。</source>
        <comment>25</comment>
        <translation>原始檔第 %1 位元組起有不屬於 %2 編碼的位元組，已原樣保留。</translation>
    </message>
    <message>
        <source>源文件第 %1 字节起有不属于 %2 编码的字节，已写作 %3。</source>
        <comment>26</comment>
        <translation>原始檔第 %1 位元組起有不屬於 %2 編碼的位元組，已寫作 %3。</translation>
    </message>
    <message>
        <source>关键字中的字符“%1”无法用 %2 编码写出。</source>
        <comment>27</comment>
        <translation>關鍵字中的字元“%1”無法用 %2 編碼寫出。</translation>
    </message>
    <message>
        <source>替换?的自增符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>28</comment>
        <translation>替換?的自增符中的字元“%1”無法用 %2 編碼寫出。</translation>
    </message>
    <message>
        <source>文件首添加字符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>29</comment>
        <translation>檔案首新增字元中的字元“%1”無法用 %2 編碼寫出。</translation>
    </message>
    <message>
        <source>文件尾添加字符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>30</comment>
        <translation>檔案尾新增字元中的字元“%1”無法用 %2 編碼寫出。</translation>
    </message>
    <message>
        <source>源文件“%1”第 %2 字节处的字符“%3”无法用 %4 编码写出</source>
        <comment>31</comment>
        <translation>原始檔“%1”第 %2 位元組處的字元“%3”無法用 %4 編碼寫出</translation>
    </message>
    <message>
        <source>文件“%1”在出错处中断，没有写完。</source>
        <comment>32</comment>
        <translation>檔案“%1”在出錯處中斷，沒有寫完。</translation>
    </message>
    <message>
        <source>源文件“%1”在分割时变短了：开始时有 %2 字节，只读到 %3 字节，后面的内容没有分割。</source>
        <comment>33</comment>
        <translation>原始檔“%1”在分割時變短了：開始時有 %2 位元組，只讀到 %3 位元組，後面的內容沒有分割。</translation>
    </message>
    <message>
        <source>正则表达式“%1”有错（第 %2 个字符之后）：%3</source>
        <comment>34</comment>
        <translation>正則表示式“%1”有錯（第 %2 個字元之後）：%3</translation>
    </message>
    <message>
        <source>排除用的正则表达式“%1”有错（第 %2 个字符之后）：%3</source>
        <comment>35</comment>
        <translation>排除用的正則表示式“%1”有錯（第 %2 個字元之後）：%3</translation>
    </message>
    <message>
        <source>正则表达式“%1”能匹配空文本，会把每一行都当作标题，请改写。</source>
        <comment>36</comment>
        <translation>正則表示式“%1”能匹配空文字，會把每一行都當作標題，請改寫。</translation>
    </message>
    <message>
        <source>正则表达式在有些行上回溯过多，已放弃匹配，这些行按正文处理；第一处是“%1”。</source>
        <comment>37</comment>
        <translation>正則表示式在有些行上回溯過多，已放棄匹配，這些行按正文處理；第一處是“%1”。</translation>
    </message>
    <message>
        <source>自动识别没有找到章节标题：书中没有一串按顺序编号的标题行。请用关键字或正则表达式说明标题的样子。</source>
        <comment>38</comment>
        <translation>自動識別沒有找到章節標題：書中沒有一串按順序編號的標題行。請用關鍵字或正則表示式說明標題的樣子。</translation>
    </message>
    <message>
        <source>目录是为另一本书做的：源文件“%1”的大小或内容与目录记下的不同。</source>
        <comment>39</comment>
        <translation>目錄是為另一本書做的：原始檔“%1”的大小或內容與目錄記下的不同。</translation>
    </message>
    <message>
        <source>目录第 %1 项的行号 %2 不在源文件里（源文件共 %3 行）。</source>
        <comment>40</comment>
        <translation>目錄第 %1 項的行號 %2 不在原始檔裡（原始檔共 %3 行）。</translation>
    </message>
    <message>
        <source>目录第 %1 项的行号 %2 不大于前一项的 %3：行号必须从小到大排列。</source>
        <comment>41</comment>
        <translation>目錄第 %1 項的行號 %2 不大於前一項的 %3：行號必須從小到大排列。</translation>
    </message>
    <message>
        <source>选中的章节（%1）都不在目录的 %2 章之内，没有可写的内容。</source>
        <comment>42</comment>
        <translation>選中的章節（%1）都不在目錄的 %2 章之內，沒有可寫的內容。</translation>
    </message>
    <message>
        <source>找到 %1 个章节，选择章节最多只能在前 %2 个里选。</source>
        <comment>43</comment>
        <translation>找到 %1 個章節，選擇章節最多隻能在前 %2 個裡選。</translation>
    </message>
    <message>
        <source>“%1”这不像是文本文件（它含有大量 NUL 字节，或是图片、PDF、压缩包或程序），没有分割。如果它确实是文本，请指定它的编码。</source>
        <comment>44</comment>
        <translation>“%1”這不像是文字檔案（它含有大量 NUL 位元組，或是圖片、PDF、壓縮包或程式），沒有分割。如果它確實是文字，請指定它的編碼。</translation>
    </message>
    <message>
        <source>源文件“%1”是空的，没有可分割的内容。</source>
        <comment>45</comment>
        <translation>原始檔“%1”是空的，沒有可分割的內容。</translation>
    </message>
    <message>
        <source>目录“%2”中还有 %1 个以前分割留下的文件，不是这次写出的，会和这次的文件混在一起。</source>
        <comment>46</comment>
        <translation>目錄“%2”中還有 %1 個以前分割留下的檔案，不是這次寫出的，會和這次的檔案混在一起。</translation>
    </message>
    <message>
        <source>替换规则%1“%2”有错（第 %3 个字符之后）：%4</source>
        <comment>47</comment>
        <translation>替換規則%1“%2”有錯（第 %3 個字元之後）：%4</translation>
    </message>
    <message>
        <source>替换规则%1“%2”无法替换：%3</source>
        <comment>48</comment>
        <translation>替換規則%1“%2”無法替換：%3</translation>
    </message>
    <message>
        <source>无法载入简繁转换“%1”：%2</source>
        <comment>49</comment>
        <translation>無法載入簡繁轉換“%1”：%2</translation>
    </message>
    <message>
        <source>源文件“%1”第 %2 行替换或转换后的字符“%3”无法用 %4 编码写出</source>
        <comment>50</comment>
        <translation>原始檔“%1”第 %2 行替換或轉換後的字元“%3”無法用 %4 編碼寫出</translation>
    </message>
</context>
<context>
    <name>FileChoosers</name>
    <message>
        <source>文本文件(*.txt)</source>
        <translation>文字檔案(*.txt)</translation>
    </message>
    <message>
        <source>选择目录</source>
        <translation>選擇目錄</translation>
    </message>
</context>
<context>
    <name>FormHelpTexts</name>
    <message>
        <source>关键字:只适用于按章节分割文件，关键字可以为一个，也可以为多个，中间用空格分开。
取关键字时，要选择每一个标题行中均共有的。比如第一、二、三个标题行分别：
“第一节 回忆过去”
“第二节 新时代到来”
“第三节 结束语”
关键字就取每个标题中共有的“第”及“节”
如果标题中没有共有的，是增加的数字，如下：
一、XXX 
二、 YYY 
三、ZZZ，
那么就使用代用符“?”代替每行中的“一二三”。注意：是小写的问号，
所以上述的关健字为“?、”，这里加上一个“、”便于区分标题，万一正文的某行中有个数字，
刚好与与代替的行的相同，就会出错了，增加一个“、”属于标题中相同的，可减少出错机率。</source>
        <translation>關鍵字:只適用於按章節分割檔案，關鍵字可以為一個，也可以為多個，中間用空格分開。
取關鍵字時，要選擇每一個標題行中均共有的。比如第一、二、三個標題行分別：
“第一節 回憶過去”
“第二節 新時代到來”
“第三節 結束語”
關鍵字就取每個標題中共有的“第”及“節”
如果標題中沒有共有的，是增加的數字，如下：
一、XXX 
二、 YYY 
三、ZZZ，
那麼就使用代用符“?”代替每行中的“一二三”。注意：是小寫的問號，
所以上述的關健字為“?、”，這裡加上一個“、”便於區分標題，萬一正文的某行中有個數字，
剛好與與代替的行的相同，就會出錯了，增加一個“、”屬於標題中相同的，可減少出錯機率。</translation>
    </message>
    <message>
        <source>正则表达式:标题行的规则，Perl 写法，可以用阅读软件里大家分享的规则。
某行中能找到它，并且不超过章节标题大小，就是标题。\s、\d 只指半角的空白和数字。
用 (?&lt;n&gt;…) 括住章节编号，标题就必须带下一章的编号，正文里提到的章节不会被当作标题：
^第(?&lt;n&gt;[0-9一二三四五六七八九十百千万]+)章
“第二章”之后只认“第三章”（缺了一章时，后面的章节照样接上，并在预览中指出）。
规则写错时，输入框变红，鼠标停在上面可看到原因，改好之前不能开始分割。</source>
        <translation>正則表示式:標題行的規則，Perl 寫法，可以用閱讀軟體裡大家分享的規則。
某行中能找到它，並且不超過章節標題大小，就是標題。\s、\d 只指半形的空白和數字。
用 (?&lt;n&gt;…) 括住章節編號，標題就必須帶下一章的編號，正文裡提到的章節不會被當作標題：
^第(?&lt;n&gt;[0-9一二三四五六七八九十百千萬]+)章
“第二章”之後只認“第三章”（缺了一章時，後面的章節照樣接上，並在預覽中指出）。
規則寫錯時，輸入框變紅，滑鼠停在上面可看到原因，改好之前不能開始分割。</translation>
    </message>
    <message>
        <source>    章节标题大小，用来区分某行是否为标题。
当该行超过设置的大小时，自动跳过，不做标题行处理。</source>
        <translation>    章節標題大小，用來區分某行是否為標題。
當該行超過設定的大小時，自動跳過，不做標題行處理。</translation>
    </message>
    <message>
        <source>不分割行，就是当该行某处是计算出来的文件分割点时，
钩选后，该行则不进行分割，放入下一文件中。</source>
        <translation>不分割行，就是當該行某處是計算出來的檔案分割點時，
鉤選後，該行則不進行分割，放入下一檔案中。</translation>
    </message>
    <message>
        <source>源文件的编码。自动检测时，选择文件后括号中显示识别出的编码，
拿不准时按 GBK 读取。分割出的文字若是乱码，请在这里指定编码。
没有字节顺序标记的 UTF-16 文件无法识别，请选择 UTF-16LE 或 UTF-16BE。</source>
        <translation>原始檔的編碼。自動檢測時，選擇檔案後括號中顯示識別出的編碼，
拿不準時按 GBK 讀取。分割出的文字若是亂碼，請在這裡指定編碼。
沒有位元組順序標記的 UTF-16 檔案無法識別，請選擇 UTF-16LE 或 UTF-16BE。</translation>
    </message>
    <message>
        <source>分割出的文件的编码。同源文件：与源文件相同，源文件有字节顺序标记时每个文件都带上。
选择其它编码时边分割边转换，文件大小按转换后的字节计算；
该编码写不出的字符（如繁体 Big5 中的简体字）会在分割前指出。</source>
        <translation>分割出的檔案的編碼。同源檔案：與原始檔相同，原始檔有位元組順序標記時每個檔案都帶上。
選擇其它編碼時邊分割邊轉換，檔案大小按轉換後的位元組計算；
該編碼寫不出的字元（如繁體 Big5 中的簡體字）會在分割前指出。</translation>
    </message>
    <message>
        <source>章节标题的找法：
自动识别：程序先看一遍全书，找出编号连成串的标题样式（第N章、第N回、N、、Chapter N……），
正文里提到的章节、重复的编号和书前的目录都不当作标题。选择源文件后，下面一行说明识别的结果。
关键字：按输入的关键字找标题，“?”代替每行不同的数字。
正则表达式：按自己写的规则找标题，可以用阅读软件里大家分享的规则。</source>
        <translation>章節標題的找法：
自動識別：程式先看一遍全書，找出編號連成串的標題樣式（第N章、第N回、N、、Chapter N……），
正文裡提到的章節、重複的編號和書前的目錄都不當作標題。選擇原始檔後，下面一行說明識別的結果。
關鍵字：按輸入的關鍵字找標題，“?”代替每行不同的數字。
正則表示式：按自己寫的規則找標題，可以用閱讀軟體裡大家分享的規則。</translation>
    </message>
</context>
<context>
    <name>sekato::controls::CMarkupStatic</name>
    <message>
        <source>提供的超级链接或者制定的文件无法执行 </source>
        <translation>提供的超級連結或者制定的檔案無法執行 </translation>
    </message>
</context>
<context>
    <name>sekato::ui::CAboutDlg</name>
    <message>
        <source>关于 sekato</source>
        <translation>關於 sekato</translation>
    </message>
    <message>
        <source>[url=%1]岚溪软件论坛[/url]</source>
        <translation>[url=%1]嵐溪軟體論壇[/url]</translation>
    </message>
    <message>
        <source>最近更新:</source>
        <translation>最近更新:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CChapterStrip</name>
    <message>
        <source>每章一条，高度是章节大小；点一下选中那一行</source>
        <translation>每章一條，高度是章節大小；點一下選中那一行</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CConvertRow</name>
    <message>
        <source>简繁转换</source>
        <translation>簡繁轉換</translation>
    </message>
    <message>
        <source>编辑替换规则</source>
        <translation>編輯替換規則</translation>
    </message>
    <message>
        <source>替换规则的条数</source>
        <translation>替換規則的條數</translation>
    </message>
    <message>
        <source>按 OpenCC 的词典把全文转换成另一种字形。替换规则先用于原文，再做转换；章节标题在转换之后查找，关键字要按转换后的字形书写。</source>
        <translation>按 OpenCC 的詞典把全文轉換成另一種字形。替換規則先用於原文，再做轉換；章節標題在轉換之後查詢，關鍵字要按轉換後的字形書寫。</translation>
    </message>
    <message>
        <source>用正则表达式删去或改写每一行里的文字，例如网站加的“本章未完，请点击下一页”。</source>
        <translation>用正則表示式刪去或改寫每一行裡的文字，例如網站加的“本章未完，請點選下一頁”。</translation>
    </message>
    <message>
        <source>简体→繁体</source>
        <translation>簡體→繁體</translation>
    </message>
    <message>
        <source>繁体→简体</source>
        <translation>繁體→簡體</translation>
    </message>
    <message>
        <source>简体→台湾正体</source>
        <translation>簡體→臺灣正體</translation>
    </message>
    <message>
        <source>台湾正体→简体</source>
        <translation>臺灣正體→簡體</translation>
    </message>
    <message>
        <source>简体→香港繁体</source>
        <translation>簡體→香港繁體</translation>
    </message>
    <message>
        <source>香港繁体→简体</source>
        <translation>香港繁體→簡體</translation>
    </message>
    <message>
        <source>简体→台湾正体（含用语）</source>
        <translation>簡體→臺灣正體（含用語）</translation>
    </message>
    <message>
        <source>台湾正体（含用语）→简体</source>
        <translation>臺灣正體（含用語）→簡體</translation>
    </message>
    <message>
        <source>不转换</source>
        <translation>不轉換</translation>
    </message>
    <message>
        <source>无规则</source>
        <translation>無規則</translation>
    </message>
    <message numerus="yes">
        <source>%n 条规则</source>
        <translation>
            <numerusform>%n 條規則</numerusform>
        </translation>
    </message>
    <message>
        <source>简体字</source>
        <translation>簡體字</translation>
    </message>
    <message>
        <source>繁体字</source>
        <translation>繁體字</translation>
    </message>
    <message>
        <source>“%1”写出的是%2，%3 编码容纳不下，分割会在第一个写不出的字处停下。改用 UTF-8 输出，所有的字都能写出。</source>
        <translation>“%1”寫出的是%2，%3 編碼容納不下，分割會在第一個寫不出的字處停下。改用 UTF-8 輸出，所有的字都能寫出。</translation>
    </message>
    <message>
        <source>改用 UTF-8</source>
        <translation>改用 UTF-8</translation>
    </message>
    <message>
        <source>仍然继续</source>
        <translation>仍然繼續</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CFormEnabling</name>
    <message>
        <source>请输入标题的正则表达式。</source>
        <translation>請輸入標題的正則表示式。</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CHeadingListModel</name>
    <message>
        <source>序号</source>
        <translation>序號</translation>
    </message>
    <message>
        <source>章节标题</source>
        <translation>章節標題</translation>
    </message>
    <message>
        <source>行号</source>
        <translation>行號</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>檔案</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CKeptList</name>
    <message>
        <source>按编辑后的目录（%1 章） &lt;a href=&quot;rule&quot;&gt;改回按规则&lt;/a&gt;</source>
        <translation>按編輯後的目錄（%1 章） &lt;a href=&quot;rule&quot;&gt;改回按規則&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CMainFrame</name>
    <message>
        <source>操作(&amp;O)</source>
        <translation>操作(&amp;O)</translation>
    </message>
    <message>
        <source>开始分割(&amp;S)</source>
        <translation>開始分割(&amp;S)</translation>
    </message>
    <message>
        <source>点击后开始分割文本文件。
分割</source>
        <translation>點選後開始分割文字檔案。
分割</translation>
    </message>
    <message>
        <source>停止分割(&amp;P)</source>
        <translation>停止分割(&amp;P)</translation>
    </message>
    <message>
        <source>停止分割文本文件
停止</source>
        <translation>停止分割文字檔案
停止</translation>
    </message>
    <message>
        <source>预览章节(&amp;V)</source>
        <translation>預覽章節(&amp;V)</translation>
    </message>
    <message>
        <source>不写文件，先列出按当前设置将找到的章节
预览章节</source>
        <translation>不寫檔案，先列出按當前設定將找到的章節
預覽章節</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>退出应用程序；提示保存文档
退出</source>
        <translation>退出應用程式；提示儲存文件
退出</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>檢視(&amp;V)</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>工具欄(&amp;T)</translation>
    </message>
    <message>
        <source>显示或隐藏工具栏
显隐工具栏</source>
        <translation>顯示或隱藏工具欄
顯隱工具欄</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>幫助(&amp;H)</translation>
    </message>
    <message>
        <source>意见返馈(&amp;F)</source>
        <translation>意見返饋(&amp;F)</translation>
    </message>
    <message>
        <source>查看新版本(&amp;N)</source>
        <translation>檢視新版本(&amp;N)</translation>
    </message>
    <message>
        <source>岚溪软件列表(&amp;L)</source>
        <translation>嵐溪軟體列表(&amp;L)</translation>
    </message>
    <message>
        <source>关于 岚溪TXT分割器(&amp;A)</source>
        <translation>關於 嵐溪TXT分割器(&amp;A)</translation>
    </message>
    <message>
        <source>显示程序信息，版本号和版权
关于</source>
        <translation>顯示程式資訊，版本號和版權
關於</translation>
    </message>
    <message>
        <source>语言(&amp;L)</source>
        <translation>語言(&amp;L)</translation>
    </message>
    <message>
        <source>%1% — %2</source>
        <translation>%1% — %2</translation>
    </message>
    <message>
        <source>分割还在进行。要停止分割并退出吗？已写出的文件会保留，最后一个文件会完整结束。</source>
        <translation>分割還在進行。要停止分割並退出嗎？已寫出的檔案會保留，最後一個檔案會完整結束。</translation>
    </message>
    <message>
        <source>停止并退出</source>
        <translation>停止並退出</translation>
    </message>
    <message>
        <source>继续分割</source>
        <translation>繼續分割</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>最近打开(&amp;R)</source>
        <translation>最近開啟(&amp;R)</translation>
    </message>
    <message>
        <source>记住设置(&amp;M)</source>
        <translation>記住設定(&amp;M)</translation>
    </message>
    <message>
        <source>下次启动时恢复本次的分割设置</source>
        <translation>下次啟動時恢復本次的分割設定</translation>
    </message>
    <message>
        <source>恢复默认设置(&amp;D)</source>
        <translation>恢復預設設定(&amp;D)</translation>
    </message>
    <message>
        <source>把分割设置恢复为程序的默认值</source>
        <translation>把分割設定恢復為程式的預設值</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>（無）</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CPreviewDlg</name>
    <message>
        <source>预览章节</source>
        <translation>預覽章節</translation>
    </message>
    <message>
        <source>插入标题…</source>
        <translation>插入標題…</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>全選</translation>
    </message>
    <message>
        <source>全不选</source>
        <translation>全不選</translation>
    </message>
    <message>
        <source>反选</source>
        <translation>反選</translation>
    </message>
    <message>
        <source>导出目录…</source>
        <translation>匯出目錄…</translation>
    </message>
    <message>
        <source>导出目录</source>
        <translation>匯出目錄</translation>
    </message>
    <message>
        <source>目录 (*.json)</source>
        <translation>目錄 (*.json)</translation>
    </message>
    <message>
        <source>导入目录…</source>
        <translation>匯入目錄…</translation>
    </message>
    <message>
        <source>导入目录</source>
        <translation>匯入目錄</translation>
    </message>
    <message>
        <source>目录 (*.json *.txt)</source>
        <translation>目錄 (*.json *.txt)</translation>
    </message>
    <message>
        <source>按此目录分割</source>
        <translation>按此目錄分割</translation>
    </message>
    <message>
        <source>只导出选中章节</source>
        <translation>只匯出選中章節</translation>
    </message>
    <message>
        <source>合并为一个文件</source>
        <translation>合併為一個檔案</translation>
    </message>
    <message>
        <source>应用此设置</source>
        <translation>應用此設定</translation>
    </message>
    <message>
        <source>%1 章，将写出 %2 个文件</source>
        <translation>%1 章，將寫出 %2 個檔案</translation>
    </message>
    <message>
        <source>插入标题</source>
        <translation>插入標題</translation>
    </message>
    <message>
        <source>作为章节标题的行号：</source>
        <translation>作為章節標題的行號：</translation>
    </message>
    <message>
        <source>请先在表中选中要导出的章节。</source>
        <translation>請先在表中選中要匯出的章節。</translation>
    </message>
    <message>
        <source>无法写出目录文件“%1”：%2</source>
        <translation>無法寫出目錄檔案“%1”：%2</translation>
    </message>
    <message>
        <source>无法读取目录文件“%1”：%2</source>
        <translation>無法讀取目錄檔案“%1”：%2</translation>
    </message>
    <message>
        <source>目录文件“%1”读不懂：%2</source>
        <translation>目錄檔案“%1”讀不懂：%2</translation>
    </message>
    <message>
        <source>目录第 %1 项的行号不大于前一项：行号必须从小到大排列。</source>
        <translation>目錄第 %1 項的行號不大於前一項：行號必須從小到大排列。</translation>
    </message>
    <message>
        <source>保留编辑后的目录，供这个文件下次开始分割时使用？</source>
        <translation>保留編輯後的目錄，供這個檔案下次開始分割時使用？</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>自动识别：%1，%2 %3</source>
        <translation>自動識別：%1，%2 %3</translation>
    </message>
    <message>
        <source>其次：%1（%2 行），按正则表达式</source>
        <translation>其次：%1（%2 行），按正則表示式</translation>
    </message>
    <message>
        <source>目录文件“%1”是为另一本书做的：它记下的源文件大小是 %2 字节，这个源文件是 %3 字节。</source>
        <translation>目錄檔案“%1”是為另一本書做的：它記下的原始檔大小是 %2 位元組，這個原始檔是 %3 位元組。</translation>
    </message>
    <message>
        <source>目录第 1 项的行号 %1 不是正整数。</source>
        <translation>目錄第 1 項的行號 %1 不是正整數。</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CQueueDock</name>
    <message>
        <source>待分割的书</source>
        <translation>待分割的書</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CQueueList</name>
    <message>
        <source>待分割的书</source>
        <translation>待分割的書</translation>
    </message>
    <message>
        <source>书</source>
        <translation>書</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>等待</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
    <message numerus="yes">
        <source>完成 %n 个文件</source>
        <translation>
            <numerusform>完成 %n 個檔案</numerusform>
        </translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>失败：%1</source>
        <translation>失敗：%1</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CReplaceRulesDlg</name>
    <message>
        <source>规则文件(*.txt);;所有文件(*)</source>
        <translation>規則檔案(*.txt);;所有檔案(*)</translation>
    </message>
    <message>
        <source>导入替换规则</source>
        <translation>匯入替換規則</translation>
    </message>
    <message>
        <source>导出替换规则</source>
        <translation>匯出替換規則</translation>
    </message>
    <message>
        <source>替换规则</source>
        <translation>替換規則</translation>
    </message>
    <message>
        <source>每条规则用正则表达式（PCRE2）找出文字，换成“替换为”的内容，$1 或 ${名字} 代表分组；“替换为”留空即删去找到的文字。规则按顺序，在简繁转换之前用于每一行。</source>
        <translation>每條規則用正則表示式（PCRE2）找出文字，換成“替換為”的內容，$1 或 ${名字} 代表分組；“替換為”留空即刪去找到的文字。規則按順序，在簡繁轉換之前用於每一行。</translation>
    </message>
    <message>
        <source>查找（正则表达式）</source>
        <translation>查詢（正則表示式）</translation>
    </message>
    <message>
        <source>替换为</source>
        <translation>替換為</translation>
    </message>
    <message>
        <source>次数</source>
        <translation>次數</translation>
    </message>
    <message>
        <source>添加(&amp;A)</source>
        <translation>新增(&amp;A)</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>刪除(&amp;D)</translation>
    </message>
    <message>
        <source>上移(&amp;U)</source>
        <translation>上移(&amp;U)</translation>
    </message>
    <message>
        <source>下移(&amp;N)</source>
        <translation>下移(&amp;N)</translation>
    </message>
    <message>
        <source>导入(&amp;I)…</source>
        <translation>匯入(&amp;I)…</translation>
    </message>
    <message>
        <source>导出(&amp;E)…</source>
        <translation>匯出(&amp;E)…</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>无法读取规则文件“%1”：%2</source>
        <translation>無法讀取規則檔案“%1”：%2</translation>
    </message>
    <message>
        <source>规则文件“%1”不是 UTF-8 编码的文字。</source>
        <translation>規則檔案“%1”不是 UTF-8 編碼的文字。</translation>
    </message>
    <message>
        <source>无法写出规则文件“%1”：%2</source>
        <translation>無法寫出規則檔案“%1”：%2</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSekatoApp</name>
    <message>
        <source>分割或预览结束后才能切换语言。</source>
        <translation>分割或預覽結束後才能切換語言。</translation>
    </message>
    <message>
        <source>分割或预览结束后才能恢复默认设置。</source>
        <translation>分割或預覽結束後才能恢復預設設定。</translation>
    </message>
    <message>
        <source>找不到这个文件，已从最近打开的列表中去掉：
%1</source>
        <translation>找不到這個檔案，已從最近開啟的列表中去掉：
%1</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSekatoView</name>
    <message>
        <source>源文件</source>
        <translation>原始檔</translation>
    </message>
    <message>
        <source>选择源文件</source>
        <translation>選擇原始檔</translation>
    </message>
    <message>
        <source>新目录</source>
        <translation>新目錄</translation>
    </message>
    <message>
        <source>选择保存目录</source>
        <translation>選擇儲存目錄</translation>
    </message>
    <message>
        <source>自定义文件名</source>
        <translation>自定義檔名</translation>
    </message>
    <message>
        <source>章节标题的找法</source>
        <translation>章節標題的找法</translation>
    </message>
    <message>
        <source>关键字</source>
        <translation>關鍵字</translation>
    </message>
    <message>
        <source>正则表达式</source>
        <translation>正則表示式</translation>
    </message>
    <message>
        <source>替换?的自增符</source>
        <translation>替換?的自增符</translation>
    </message>
    <message>
        <source>章节标题大小</source>
        <translation>章節標題大小</translation>
    </message>
    <message>
        <source>每个文件放入的章数</source>
        <translation>每個檔案放入的章數</translation>
    </message>
    <message>
        <source>每个文件最大（KB）</source>
        <translation>每個檔案最大（KB）</translation>
    </message>
    <message>
        <source>平均分配的份数</source>
        <translation>平均分配的份數</translation>
    </message>
    <message>
        <source>文件首添加字符</source>
        <translation>檔案首新增字元</translation>
    </message>
    <message>
        <source>文件尾添加字符</source>
        <translation>檔案尾新增字元</translation>
    </message>
    <message>
        <source>源文件编码</source>
        <translation>原始檔編碼</translation>
    </message>
    <message>
        <source>输出编码</source>
        <translation>輸出編碼</translation>
    </message>
    <message>
        <source>分割进度</source>
        <translation>分割進度</translation>
    </message>
    <message>
        <source>１,２，３...</source>
        <translation>１,２，３...</translation>
    </message>
    <message>
        <source>一,二,三...</source>
        <translation>一,二,三...</translation>
    </message>
    <message>
        <source>自动检测</source>
        <translation>自動檢測</translation>
    </message>
    <message>
        <source>同源文件</source>
        <translation>同源檔案</translation>
    </message>
    <message>
        <source>还未选择待分割的文件！</source>
        <translation>還未選擇待分割的檔案！</translation>
    </message>
    <message>
        <source>源文件“%1”是空的，分割只会建立一个空目录。</source>
        <translation>原始檔“%1”是空的，分割只會建立一個空目錄。</translation>
    </message>
    <message>
        <source>仍然分割</source>
        <translation>仍然分割</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>……</source>
        <translation>……</translation>
    </message>
    <message numerus="yes">
        <source>目录“%1”中已有 %n 个以前分割留下的文件。这次分割不一定会覆盖它们，新旧文件会混在一起：
%2</source>
        <translation>
            <numerusform>目錄“%1”中已有 %n 個以前分割留下的檔案。這次分割不一定會覆蓋它們，新舊檔案會混在一起：
%2</numerusform>
        </translation>
    </message>
    <message>
        <source>清空旧文件后继续</source>
        <translation>清空舊檔案後繼續</translation>
    </message>
    <message>
        <source>换一个文件夹</source>
        <translation>換一個資料夾</translation>
    </message>
    <message>
        <source>无法删除旧文件：%1</source>
        <translation>無法刪除舊檔案：%1</translation>
    </message>
    <message numerus="yes">
        <source>%1：%n 个旧文件</source>
        <translation>
            <numerusform>%1：%n 箇舊檔案</numerusform>
        </translation>
    </message>
    <message>
        <source>这些目录中已有以前分割留下的文件，新旧文件会混在一起：
%1</source>
        <translation>這些目錄中已有以前分割留下的檔案，新舊檔案會混在一起：
%1</translation>
    </message>
    <message>
        <source>自动识别的结果</source>
        <translation>自動識別的結果</translation>
    </message>
    <message>
        <source>使用自动识别的标题</source>
        <translation>使用自動識別的標題</translation>
    </message>
    <message>
        <source>自动识别</source>
        <translation>自動識別</translation>
    </message>
    <message>
        <source>自动识别没有找到成串编号的标题，无法按章节分割。</source>
        <translation>自動識別沒有找到成串編號的標題，無法按章節分割。</translation>
    </message>
    <message>
        <source>预览章节</source>
        <translation>預覽章節</translation>
    </message>
    <message>
        <source>按现在的设置找不到章节标题，全文会写进一个文件。</source>
        <translation>按現在的設定找不到章節標題，全文會寫進一個檔案。</translation>
    </message>
    <message>
        <source>%1：选择“自动识别”可以按它分割</source>
        <translation>%1：選擇“自動識別”可以按它分割</translation>
    </message>
    <message>
        <source>仍然写出</source>
        <translation>仍然寫出</translation>
    </message>
    <message>
        <source>按现在的设置，这些书找不到章节标题，每本都会整本写进一个文件：
%1</source>
        <translation>按現在的設定，這些書找不到章節標題，每本都會整本寫進一個檔案：
%1</translation>
    </message>
    <message>
        <source>跳过这些书</source>
        <translation>跳過這些書</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSourceFindings</name>
    <message>
        <source>自动检测</source>
        <translation>自動檢測</translation>
    </message>
    <message>
        <source>UTF-16？</source>
        <translation>UTF-16？</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation>（%1）</translation>
    </message>
    <message>
        <source>自动识别：正在查看源文件……</source>
        <translation>自動識別：正在檢視原始檔……</translation>
    </message>
    <message>
        <source>自动识别：%1，%2 %3（标题最长 %4 字）</source>
        <translation>自動識別：%1，%2 %3（標題最長 %4 字）</translation>
    </message>
    <message>
        <source>，%1 %2</source>
        <translation>，%1 %2</translation>
    </message>
    <message>
        <source>自动识别：没有找到成串编号的标题</source>
        <translation>自動識別：沒有找到成串編號的標題</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSourceLinesDlg</name>
    <message>
        <source>第 %1 行起</source>
        <translation>第 %1 行起</translation>
    </message>
    <message>
        <source>把光标所在行设为标题</source>
        <translation>把游標所在行設為標題</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSplitRunControl</name>
    <message>
        <source>无法启动分割线程，文件没有分割！</source>
        <translation>無法啟動分割執行緒，檔案沒有分割！</translation>
    </message>
    <message>
        <source>无法启动预览线程！</source>
        <translation>無法啟動預覽執行緒！</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>開啟資料夾</translation>
    </message>
    <message>
        <source>预览章节</source>
        <translation>預覽章節</translation>
    </message>
    <message>
        <source>%1 本书中有 %2 本分割完成。</source>
        <translation>%1 本書中有 %2 本分割完成。</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1：%2</translation>
    </message>
</context>
</TS>
