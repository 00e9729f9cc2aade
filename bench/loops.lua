-- Three nested integer loops, 27 million iterations of integer arithmetic.

local function main()
    local s = 0
    for i = 1, 300 do
        for j = 1, 300 do
            for k = 1, 300 do
                s = ((s ~ (i * j)) + k) % 1000003
            end
        end
    end
    print(s)
end

main()
